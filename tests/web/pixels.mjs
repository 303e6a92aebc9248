// The page's windows are the Linux build's pixels: the top-ten window showing
// the table the Linux harness showed (tools/pegdrop-shot).
import { boardPage, linuxPicture, waitForPicture, withBrowser } from "./page.mjs";
import { differingPixels } from "./png.mjs";
import { funGame, moveTo } from "./tournament.mjs";

// The harness's table, as top10.dat holds it once Dana's 12,600 is ranked.
const kHarnessTable = [["Marguerite", 31200], ["Olu", 22500], ["Dana", 12600], ["Sam", 12600],
                       ["Ines", 11100], ["Tomasz", 10700], ["Aiko", 3100], ["Lin", 1800],
                       ["", 0], ["", 0]];

export const scenarios = {
    // The table on disk before a fun game ends: the top-ten window it opens
    // shows the table with no new row, every pixel of its client area as
    // docs/top10.png.
    async topten({ url, profile }) {
        await withBrowser(profile, async browser => {
            const { page, board } = await boardPage(browser, url);
            const file = kHarnessTable.map(([name, score]) => `"${name}",${score}\r\n`).join("");
            await page.evaluate(file => Module.FS.writeFile("/data/top10.dat", file), file);
            await moveTo(page, board, 300, 200);
            await page.keyboard.press("f");
            const top10 = await funGame(page, board);
            const linux = linuxPicture("top10.png");
            let differ;
            await waitForPicture(page, "the Linux build's top-ten window",
                                 p => (differ = differingPixels(p, linux, top10.left, top10.top)) === 0)
                .catch(error => {
                    throw new Error(`${error.message}: ${differ} pixels differ`);
                });
        });
    },
};
