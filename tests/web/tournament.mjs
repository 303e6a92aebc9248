// A player's data on the page: a tournament's entry, the speed, two tabs
// saving at once, and storage the browser refuses.
import { withBrowser, canvasPicture, clickAt, findBoard, linuxPicture, log, openBoard, waitForPicture, waitForSplash, boardPage } from "./page.mjs";
import { differingPixels, findPicture, rows } from "./png.mjs";

const kChip = [0xc0, 0x00, 0x80];
const kBright = [0xff, 0xff, 0x00];
const kDim = [0xd0, 0xd0, 0x00];

// Pixels of COLOUR in the rectangle (x, y, w, h) of a client area at `at`.
function count(picture, at, [x, y, w, h], colour) {
    let n = 0;
    for (let row = at.top + y; row < at.top + y + h; ++row)
        for (let col = at.left + x; col < at.left + x + w; ++col) {
            const p = (row * picture.width + col) * 4;
            if (picture.rgba[p] === colour[0] && picture.rgba[p + 1] === colour[1] && picture.rgba[p + 2] === colour[2])
                ++n;
        }
    return n;
}
const chipAtTop = (picture, board) => count(picture, board, [292, 8, 17, 17], kChip) >= 50;
// Where the chip at the top is aimed: its mean x along the row y 16.
function aimedAt(picture, board) {
    let sum = 0, n = 0;
    for (let x = 190; x < 410; ++x)
        if (count(picture, board, [x, 16, 1, 1], kChip)) {
            sum += x;
            ++n;
        }
    return n ? Math.round(sum / n) : null;
}

// The windows that open over the board, found by the Linux harness's
// pictures: the name prompt whole (its caret blinks, and is shown there), the
// top-ten window by its rows above the table.
const prompt = linuxPicture("prompt.png");
const top10Top = rows(linuxPicture("top10.png"), 0, 80);
const rangeMessage = linuxPicture("range.png");
const finder = part => picture => findPicture(picture, part);

export async function waitForWindow(page, what, find) {
    let at = null;
    await waitForPicture(page, what, p => (at = find(p)) !== null);
    return at;
}

export async function moveTo(page, at, x, y) {
    const canvas = await (await page.$("#canvas")).boundingBox();
    await page.mouse.move(canvas.x + at.left + x, canvas.y + at.top + y);
}

// One chip after T or F: pressed on the board, dragged along the top to X,
// released once it is seen aimed there.
async function dropChip(page, board, x) {
    await waitForPicture(page, "a chip waiting at the top", p => chipAtTop(p, board));
    await moveTo(page, board, 300, 150);
    await page.mouse.down();
    await moveTo(page, board, x - 20, 150);
    await moveTo(page, board, x, 150);
    await waitForPicture(page, `the chip aimed at ${x}`, p => aimedAt(p, board) === x);
    await page.mouse.up();
    await waitForPicture(page, "the chip leaving the top", p => !chipAtTop(p, board));
}

// Plays a tournament from the board's mode prompt up to the name prompt: the
// first chip falls straight into slot 1, so there is always a score.
export async function playTournament(page, board) {
    await moveTo(page, board, 300, 200);
    await page.keyboard.press("t");
    for (const x of [206, 262, 300, 350, 394])
        await dropChip(page, board, x);
    return waitForWindow(page, "the Linux build's name prompt", finder(prompt));
}

// Types NAME into the prompt and takes it: where the top-ten window is.
async function enterName(page, name) {
    await page.keyboard.type(name);
    await page.keyboard.press("Enter");
    return waitForWindow(page, "the top-ten window", finder(top10Top));
}

// The new entry flickers in row 1 of the top-ten window.
async function waitForNewFirstRow(page, top10) {
    const row1 = [74, 84, 259, 20];
    await waitForPicture(page, "row 1 bright", p => count(p, top10, row1, kBright) >= 20 && !count(p, top10, row1, kDim));
    await waitForPicture(page, "row 1 dim", p => count(p, top10, row1, kDim) >= 20 && !count(p, top10, row1, kBright));
}

// A file of the data folder as the game last left it, or null.
export async function readDataFile(page, name) {
    const bytes = await page.evaluate(name => {
        try {
            return Array.from(Module.FS.readFile("/data/" + name));
        } catch {
            return null;
        }
    }, name);
    return bytes && Buffer.from(bytes).toString("latin1");
}

// The table's rows, as top10.dat holds them.
const tableRows = text => text.split("\r\n").slice(0, -1);

// The speed window's client area, found by its test chip waiting at (172, 64)
// while no chip is on the board.
function findSpeedWindow(picture) {
    let left = Infinity, top = Infinity;
    for (let y = 0; y < picture.height; ++y)
        for (let x = 0; x < picture.width; ++x)
            if (count(picture, { left: x, top: y }, [0, 0, 1, 1], kChip)) {
                left = Math.min(left, x);
                top = Math.min(top, y);
            }
    return left === Infinity ? null : { left: left - 172, top: top - 64 };
}

// How much of the canvas changed from BEFORE: a window opened over it or not.
const changed = (picture, before) => differingPixels(picture, before, 0, 0);

// Replaces the text of the focused box with TEXT.
async function retype(page, text) {
    await page.keyboard.press("Home");
    await page.keyboard.down("Shift");
    await page.keyboard.press("End");
    await page.keyboard.up("Shift");
    await page.keyboard.type(text);
}

// A fun game of one chip, its mode already chosen: where the top-ten window
// is once it opens.
export async function funGame(page, board) {
    await moveTo(page, board, 300, 200);
    await page.keyboard.press("1");
    await dropChip(page, board, 206);
    return waitForWindow(page, "the top-ten window", finder(top10Top));
}

// The same, left by Exit, which saves speed.dat.
async function funGameToExit(page, board) {
    const top10 = await funGame(page, board);
    const before = await canvasPicture(page);
    await clickAt(page, top10, 320, 309);
    return before;
}

// A new load of the page: the splash shows once the data folder was read.
async function reload(page) {
    await page.reload();
    await waitForSplash(page);
}

export const scenarios = {
    // A whole tournament; the entry outlives a reload, and Play again starts
    // a new game.
    async tournament({ url, profile }) {
        await withBrowser(profile, async browser => {
            const { page, board } = await boardPage(browser, url);
            await playTournament(page, board);
            const top10 = await enterName(page, "Dana Q");
            await waitForNewFirstRow(page, top10);
            const saved = await readDataFile(page, "top10.dat");
            const table = tableRows(saved || "");
            if (table.length !== 10 || !/^"Dana Q",[1-9][0-9]*$/.test(table[0]) ||
                table.slice(1).some(row => row !== '"",0'))
                throw new Error(`top10.dat is not the ranked table: ${JSON.stringify(saved)}`);
            await clickAt(page, top10, 160, 309);
            await waitForPicture(page, "the board at the start of a new game", p => findBoard(p) !== null);
            await reload(page);
            const again = await readDataFile(page, "top10.dat");
            if (again !== saved)
                throw new Error(`after a reload top10.dat is ${JSON.stringify(again)}`);
        });
    },

    // The speed window refuses a value out of range with its message box;
    // a valid one is saved at Exit and read by the next load.
    async speed({ url, profile }) {
        await withBrowser(profile, async browser => {
            const { page, board } = await boardPage(browser, url);
            await moveTo(page, board, 300, 200);
            // The speed window opens in a game, while no chip falls.
            await page.keyboard.type("fs");
            const speed = await waitForWindow(page, "the speed window", findSpeedWindow);
            await clickAt(page, speed, 180, 150);
            await retype(page, "0");
            const before = await waitForPicture(page, "the speed window with 0", () => true);
            await page.keyboard.press("Tab");
            // The message box is a window of its own over the speed window,
            // its client area the Linux build's.
            await waitForWindow(page, "the Linux build's range message box", finder(rangeMessage));
            await page.keyboard.press("Enter");
            await waitForPicture(page, "the message box gone", p => changed(p, before) < 200);
            await clickAt(page, speed, 180, 150);
            await retype(page, "500");
            await clickAt(page, speed, 40, 260);
            await waitForPicture(page, "the speed window gone", p => findSpeedWindow(p) === null);
            await funGameToExit(page, board);
            const want = "500\r\n";
            for (let tries = 0; (await readDataFile(page, "speed.dat")) !== want; ++tries)
                if (tries > 100)
                    throw new Error(`speed.dat is ${JSON.stringify(await readDataFile(page, "speed.dat"))}`);
                else
                    await waitForPicture(page, "a frame", () => true);
            await reload(page);
            const again = await readDataFile(page, "speed.dat");
            if (again !== want)
                throw new Error(`after a reload speed.dat is ${JSON.stringify(again)}`);
        });
    },

    // Two tabs of one profile take their names at the same moment: the lock
    // across tabs keeps both entries.
    async tabs({ url, profile }) {
        // The tab behind keeps its timers at full speed, so that the two
        // saves overlap rather than the hidden one waking a second later.
        await withBrowser(profile, {
            more: ["--disable-background-timer-throttling", "--disable-renderer-backgrounding",
                   "--disable-backgrounding-occluded-windows"],
        }, async browser => {
            const names = ["Ana", "Bo"];
            const pages = await Promise.all(names.map(() => browser.newPage()));
            // A hidden tab draws no frames: each is played in front in turn.
            for (const page of pages) {
                await page.bringToFront();
                await page.goto(url);
                await playTournament(page, await openBoard(page));
            }
            await Promise.all(pages.map(async (page, i) => {
                await page.keyboard.type(names[i]);
                await page.keyboard.press("Enter");
            }));
            for (const page of pages) {
                await page.bringToFront();
                await waitForWindow(page, "the top-ten window", finder(top10Top));
            }
            const third = await browser.newPage();
            await third.goto(url);
            await waitForSplash(third);
            const table = tableRows((await readDataFile(third, "top10.dat")) || "");
            for (const name of names)
                if (!table.some(row => row.startsWith(`"${name}",`)))
                    throw new Error(`${name}'s entry is lost: ${JSON.stringify(table)}`);
        });
    },

    // A browser that refuses IndexedDB: the game plays in memory, and the
    // speed's save at Exit fails as a save fails on Linux, told in a message
    // box and on stderr; OK ends the game.
    async storage({ url, profile }) {
        await withBrowser(profile, async browser => {
            const page = await browser.newPage();
            await page.evaluateOnNewDocument(() => {
                indexedDB.open = () => {
                    throw new DOMException("the storage is refused", "SecurityError");
                };
            });
            await page.goto(url);
            const board = await openBoard(page);
            await moveTo(page, board, 300, 200);
            await page.keyboard.press("f");
            const before = await funGameToExit(page, board);
            const told = "pegdrop: Your speed setting could not be saved to speed.dat: ";
            await waitForPicture(page, "the failed save's message box",
                                 p => changed(p, before) > 2000 && log.some(line => line.startsWith(told)));
            await page.keyboard.press("Enter");
            await waitForPicture(page, "the game ended", p => finder(top10Top)(p) === null);
        });
    },
};
