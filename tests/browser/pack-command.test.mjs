// `skinwright pack`: the same pack as the form's, without a browser.
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';
import { after, before, describe, it } from 'node:test';
import { createProject, makeTempDir, PROGRAM } from './harness.mjs';

describe('skinwright pack', () => {
    const work = makeTempDir('sw-pack-cli-');
    const home = path.join(work, 'home');
    const out = path.join(work, 'out');
    let project;

    before(() => {
        fs.mkdirSync(out);
        ({ project } = createProject(home, work, 'dune'));
    });

    after(() => fs.rmSync(work, { recursive: true, force: true }));

    function pack(...args) {
        return spawnSync(PROGRAM, ['pack', project, '--home', home, ...args], { encoding: 'utf8' });
    }

    it('prints the archive\'s path and exits 0', () => {
        const result = pack('--name', 'dune', '--out', out, '--modules', 'lockscreen,screencall');
        assert.equal(result.status, 0, result.stderr);
        assert.equal(result.stdout, `${path.join(out, 'dune.zip')}\n`);
        // Standard error is no terminal here: no progress bar.
        assert.equal(result.stderr, '');
        const archive = fs.readFileSync(path.join(out, 'dune.zip')).toString('latin1');
        assert.ok(archive.includes('content/lockscreen/content/res.zip'));
        assert.ok(!archive.includes('content/launcher/'), 'the launcher was not asked for');
    });

    it('leaves every preview of the project drawn, also those the archive does not hold', () => {
        // Every preview on disk is stale: the pack draws some for the archive
        // and must leave none of the others behind as they were.
        const projectDir = path.join(path.dirname(project), 'dune');
        const previews = [];
        for (const module of fs.readdirSync(projectDir)) {
            const folder = path.join(projectDir, module, 'preview', 'xxhdpi');
            if (!fs.existsSync(folder)) {
                continue;
            }
            for (const name of fs.readdirSync(folder).filter((n) => /^preview\d+_suit\.jpg$/.test(n))) {
                previews.push(path.join(folder, name));
                fs.writeFileSync(path.join(folder, name), 'stale');
            }
        }
        assert.ok(previews.some((p) => p.endsWith(path.join('launcher', 'preview', 'xxhdpi', 'preview3_suit.jpg'))));
        const result = pack('--name', 'dune-screencall', '--out', out, '--modules', 'screencall');
        assert.equal(result.status, 0, result.stderr);
        for (const preview of previews) {
            const bytes = fs.readFileSync(preview);
            assert.ok(bytes[0] === 0xff && bytes[1] === 0xd8, `${preview} was left stale`);
        }
        fs.rmSync(path.join(out, 'dune-screencall.zip'));
    });

    it('says why it failed on standard error and exits 1', () => {
        const cases = [
            { args: ['--name', 'dune', '--out', path.join(work, 'missing')], says: /does not exist/ },
            { args: ['--name', 'a/b', '--out', out], says: /not a file name/ },
            { args: ['--name', 'dune', '--out', out, '--modules', 'launcher,widgets'], says: /not widgets/ },
        ];
        for (const { args, says } of cases) {
            const result = pack(...args);
            assert.equal(result.status, 1, args.join(' '));
            assert.match(result.stderr, says);
            assert.equal(result.stdout, '');
        }
        assert.deepEqual(fs.readdirSync(out), ['dune.zip']);
    });
});
