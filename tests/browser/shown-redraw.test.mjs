// The preview during a redraw the page asked for: the host says as soon as
// the screen of the edit is drawn, and when that is the screen shown the page
// shows its new picture then, once, before the command answers; a redraw of
// another screen refreshes the preview once after the answer.
import assert from 'node:assert/strict';
import path from 'node:path';
import { after, before, describe, it } from 'node:test';
import { createProject, endSession, makeTempDir, openEditor } from './harness.mjs';

describe('the preview of a redraw', () => {
    let work;
    let session;

    before(async () => {
        work = makeTempDir('sw-shown-redraw-');
        const home = path.join(work, 'home');
        const { project } = createProject(home, work, 'shown');
        session = await openEditor(home, project);
        await session.page.locator('#package-desktop').click();
        await session.page.waitForFunction(() => CURRENT_PACKAGE_NAME === '桌面' && CURRENT_SCREEN_ID === 0);
    });

    after(() => endSession(session, work));

    const cases = [
        { what: 'the screen shown', screen: 0, refreshes: ['before the answer'] },
        { what: 'another screen', screen: 2, refreshes: ['after the answer'] },
    ];
    for (const c of cases) {
        it(`shows the new picture once for a redraw of ${c.what}`, async () => {
            const seen = await session.page.evaluate(async (screen) => {
                const picture = document.getElementById('preview-img');
                let answered = false;
                const refreshes = [];
                const watch = new MutationObserver((changes) => {
                    for (let i = 0; i < changes.length; ++i) {
                        refreshes.push(answered ? 'after the answer' : 'before the answer');
                    }
                });
                watch.observe(picture, { attributes: true, attributeFilter: ['src'] });
                const drawn = await RedrawAndShow(async () => {
                    const result = await external.Redraw('桌面', screen, 0, 0);
                    answered = true;
                    return result;
                });
                await new Promise((resolve) => setTimeout(resolve, 100));
                watch.disconnect();
                return { drawn, refreshes };
            }, c.screen);
            assert.equal(seen.drawn, true);
            assert.deepEqual(seen.refreshes, c.refreshes);
            assert.deepEqual(session.problems, []);
        });
    }
});
