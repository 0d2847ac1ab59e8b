// The editor's check: the 检查 button lists the findings, a click on one
// selects its element in the preview, and the pack form stops on the errors
// until the designer packs anyway.
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { after, before, describe, it } from 'node:test';
import {
    createProject, endSession, fakeOpener, frameOf, makeTempDir, openEditor, popup, screenshot, writePng,
} from './harness.mjs';

describe('the check panel', () => {
    const work = makeTempDir('sw-check-');
    const home = path.join(work, 'home');
    const opener = fakeOpener(work);
    let project;
    let session;
    let page;

    before(async () => {
        let folder;
        ({ project, folder } = createProject(home, work, 'glade'));
        // The call screen's wallpaper is too small, and the theme has no author.
        writePng(path.join(folder, 'screencall/content/res/drawable-xxhdpi/custom_wallpaper.png'), 540, 960,
                 () => [30, 40, 90]);
        const metaPath = path.join(folder, 'launcher/meta.json');
        const meta = JSON.parse(fs.readFileSync(metaPath, 'utf8'));
        meta.resource_developer = '';
        fs.writeFileSync(metaPath, JSON.stringify(meta));
        session = await openEditor(home, project, opener.env);
        page = session.page;
    });

    after(() => endSession(session, work));

    it('lists the findings and selects the element of one that is clicked', async () => {
        assert.ok(await page.locator('#package-desktop').evaluate((e) => e.classList.contains('package-active')));
        await page.locator('#check-button').click();
        await page.locator('#check-panel').waitFor({ state: 'visible' });
        await page.locator('#check-summary', { hasText: '1 个错误，1 个警告' }).waitFor();
        const items = page.locator('#check-list .check-item');
        assert.equal(await items.count(), 2);
        const author = items.filter({ hasText: '作者为空' });
        assert.equal(await author.locator('.check-level').textContent(), '警告');
        assert.equal(await author.evaluate((e) => e.classList.contains('check-selectable')), false,
                     'a finding about a file selects nothing');
        const wallpaper = items.filter({ hasText: '540×960' });
        assert.equal(await wallpaper.locator('.check-level').textContent(), '错误');
        assert.equal(await wallpaper.locator('.check-file').textContent(),
                     'screencall/content/res/drawable-xxhdpi/custom_wallpaper.png');
        await screenshot(page, '70-check-panel');

        await wallpaper.click();
        // The call screen is shown with its wallpaper selected, as a click on
        // it in the preview selects it.
        await page.waitForFunction(() => $('#package-calltop').hasClass('package-active'));
        const cell = page.locator('#resource .filter-block .wallpaper-cell');
        await cell.waitFor({ state: 'visible' });
        assert.equal(await cell.count(), 1);
        assert.match(await cell.locator('img.wallpapper').getAttribute('title'), /^custom_wallpaper\.png/);
        const rect = page.locator('#preview .dashed-rect');
        assert.equal(await rect.count(), 1);
        const box = await rect.boundingBox();
        const preview = await page.locator('#preview-img').boundingBox();
        assert.ok(Math.abs(box.width - preview.width) <= 2 && Math.abs(box.height - preview.height) <= 2,
                  'the dashed rectangle frames the whole screen');
        await page.locator('#check-panel .panel-close').click();
        await page.locator('#check-panel').waitFor({ state: 'hidden' });
        assert.deepEqual(session.problems, []);
    });

    it('stops the pack form on the errors, and packs anyway when asked', async () => {
        const form = popup(page, '生成主题包');
        await page.locator('.btn-green').click();
        await form.frame.locator('#pack-theme-form').waitFor({ state: 'visible' });
        await (await frameOf(form.layer)).waitForFunction(() => $('#theme_path').val() !== '');
        await form.frame.locator('#theme_name').fill('Glade');
        await form.frame.locator('#create_theme').click();
        await form.frame.locator('#pack-findings').waitFor({ state: 'visible' });
        const listed = form.frame.locator('#pack-findings-list .check-item');
        assert.equal(await listed.count(), 1, 'only errors stop a pack');
        assert.match(await listed.textContent(), /540×960/);
        await screenshot(page, '71-pack-refused');
        const archive = path.join(path.dirname(project), 'Glade.zip');
        assert.ok(!fs.existsSync(archive));

        await form.frame.locator('#pack_back').click();
        await form.frame.locator('#pack-theme-form').waitFor({ state: 'visible' });
        await form.frame.locator('#create_theme').click();
        await form.frame.locator('#pack-findings').waitFor({ state: 'visible' });

        const tip = popup(page, '提示');
        await form.frame.locator('#pack_anyway').click();
        await tip.frame.getByText('主题包已成功生成。').waitFor();
        assert.ok(fs.existsSync(archive), 'the archive is written');
        await tip.frame.locator('.btn-big', { hasText: '确定' }).click();
        await tip.layer.waitFor({ state: 'detached' });
        assert.deepEqual(session.problems, []);
    });
});
