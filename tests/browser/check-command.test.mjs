// `skinwright check` and the check before `skinwright pack`: a clean project
// passes, a damaged one gives its findings, stops the pack, and packs with
// --force.
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';
import { after, before, describe, it } from 'node:test';
import { createProject, makeTempDir, PROGRAM } from './harness.mjs';

describe('skinwright check', () => {
    const work = makeTempDir('sw-check-cli-');
    const home = path.join(work, 'home');
    const out = path.join(work, 'out');
    let project;
    let folder;

    before(() => {
        fs.mkdirSync(out);
        ({ project, folder } = createProject(home, work, 'dusk'));
    });

    after(() => fs.rmSync(work, { recursive: true, force: true }));

    function run(...args) {
        return spawnSync(PROGRAM, [...args, '--home', home], { encoding: 'utf8' });
    }

    it('finds nothing in a project made from the template, and exits 0', () => {
        const plain = run('check', project);
        assert.equal(plain.status, 0, plain.stdout + plain.stderr);
        assert.equal(plain.stdout, '');
        const json = run('check', project, '--json');
        assert.equal(json.status, 0, json.stderr);
        assert.deepEqual(JSON.parse(json.stdout), []);
    });

    it('gives one line a finding and exits 1 on an error', () => {
        // The lock screen's colon becomes a JPEG under its PNG name; the
        // theme's author goes.
        fs.copyFileSync(path.join(folder, 'launcher/preview/xxhdpi/preview1_suit.jpg'),
                        path.join(folder, 'lockscreen/content/res/drawable-xxhdpi/time_colon.png'));
        const metaPath = path.join(folder, 'launcher/meta.json');
        const meta = JSON.parse(fs.readFileSync(metaPath, 'utf8'));
        meta.resource_developer = '';
        fs.writeFileSync(metaPath, JSON.stringify(meta));

        const plain = run('check', project);
        assert.equal(plain.status, 1, plain.stdout + plain.stderr);
        const lines = plain.stdout.trimEnd().split('\n');
        assert.ok(lines.includes('WARN launcher meta.json: 作者为空（resource_developer）'), plain.stdout);
        assert.ok(lines.some((line) => /^ERROR lockscreen content\/res\/drawable-xxhdpi\/time_colon\.png: 文件内容是JPEG图片/.test(line)),
                  plain.stdout);
        for (const line of lines) {
            assert.match(line, /^(ERROR|WARN) \S+ \S+: .+/);
        }

        const json = run('check', project, '--json');
        assert.equal(json.status, 1);
        const findings = JSON.parse(json.stdout);
        assert.equal(findings.length, lines.length);
        // Texts as they are, not \u escapes, as the program's JSON files hold them.
        assert.ok(json.stdout.includes('作者为空'), json.stdout);
        assert.deepEqual(findings.find((f) => f.file === 'meta.json'),
                         { level: 'WARN', module: 'launcher', file: 'meta.json', message: '作者为空（resource_developer）' });
    });

    it('stops a pack on the errors it lists, and packs anyway with --force', () => {
        const refused = run('pack', project, '--name', 'dusk', '--out', out);
        assert.equal(refused.status, 1);
        assert.match(refused.stderr, /the check found 1 error; the theme is not packed/);
        assert.match(refused.stderr, /ERROR lockscreen content\/res\/drawable-xxhdpi\/time_colon\.png/);
        assert.doesNotMatch(refused.stderr, /WARN/, 'a warning does not stop a pack');
        assert.deepEqual(fs.readdirSync(out), []);

        const forced = run('pack', project, '--name', 'dusk', '--out', out, '--force');
        assert.equal(forced.status, 0, forced.stderr);
        assert.match(forced.stderr, /packing anyway/);
        assert.equal(forced.stdout, `${path.join(out, 'dusk.zip')}\n`);
        assert.deepEqual(fs.readdirSync(out), ['dusk.zip']);
    });

    it('reports a project file it cannot read', () => {
        const result = run('check', path.join(work, 'nothing.wtpj'));
        assert.equal(result.status, 1);
        assert.match(result.stdout, /^ERROR - nothing\.wtpj: /);
    });
});
