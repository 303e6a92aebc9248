// What every scenario needs of the page: its server, a browser with a profile
// of its own, and checks that wait on what the canvas shows.
import { spawn } from "node:child_process";
import { readFileSync } from "node:fs";
import { createServer } from "node:net";
import { dirname, join } from "node:path";
import { fileURLToPath } from "node:url";
import puppeteer from "puppeteer-core";
import { decodePng, differingPixels, findPicture, rows } from "./png.mjs";

const here = dirname(fileURLToPath(import.meta.url));
export const root = join(here, "..", "..");

function freePort() {
    return new Promise(resolve => {
        const server = createServer().listen(0, "127.0.0.1", () => {
            const { port } = server.address();
            server.close(() => resolve(port));
        });
    });
}

// FOLDER served by Python's http.server, as `make web-run` does.
export async function serve(folder) {
    const port = await freePort();
    const server = spawn("python3", ["-m", "http.server", "--bind", "127.0.0.1", String(port)],
                         { cwd: folder, stdio: "ignore" });
    const url = `http://127.0.0.1:${port}/`;
    for (let tries = 0; tries < 100; ++tries) {
        try {
            if ((await fetch(url)).ok)
                return { url, stop: () => server.kill() };
        } catch {
            await new Promise(r => setTimeout(r, 100)); // the server is starting, not the page
        }
    }
    server.kill();
    throw new Error("the page's server did not start");
}

// The game's stdout and stderr, and the page's errors, for a failure's reader.
export const log = [];

// A browser with a profile of its own, as a player's first visit; its sound
// starts at once unless `waitsForGesture`, as a player's browser does;
// `more` adds to its command line.
export async function launch(profile, { waitsForGesture = false, more = [] } = {}) {
    const browser = await puppeteer.launch({
        executablePath: "/usr/bin/chromium",
        headless: true,
        userDataDir: profile,
        args: ["--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
               "--disable-background-networking", "--disable-component-update", "--disable-sync",
               "--enable-unsafe-swiftshader", "--window-size=800,600",
               // Headless Chromium would otherwise let sound start unasked.
               `--autoplay-policy=${waitsForGesture ? "document-user-activation-required"
                                                    : "no-user-gesture-required"}`,
               ...more],
        defaultViewport: { width: 800, height: 600 },
    });
    browser.on("targetcreated", async target => {
        const page = await target.page();
        if (page) {
            page.on("console", message => log.push(message.text()));
            page.on("pageerror", error => log.push(error.message));
        }
    });
    return browser;
}

// The last picture taken, written beside a failure's message.
export const shots = { last: null };

export async function canvasPicture(page) {
    const box = await canvasBox(page);
    // Taken straight from the browser: puppeteer's page.screenshot evaluates
    // in the page as a gesture. Within the viewport, or the page would be
    // resized for the picture and back, and the desktop with it.
    const { data } = await (await session(page)).send("Page.captureScreenshot", {
        format: "png", clip: { ...box, scale: 1 }, captureBeyondViewport: false });
    shots.last = Buffer.from(data, "base64");
    return decodePng(shots.last);
}

// EXPRESSION's value in the page, evaluated without the user gesture that
// page.evaluate grants: a gesture would let the page's sound start unasked.
const sessions = new WeakMap();
async function session(page) {
    if (!sessions.has(page))
        sessions.set(page, await page.target().createCDPSession());
    return sessions.get(page);
}
export async function quietly(page, expression) {
    const { result, exceptionDetails } = await (await session(page)).send(
        "Runtime.evaluate", { expression, awaitPromise: true, returnByValue: true, userGesture: false });
    if (exceptionDetails)
        throw new Error(exceptionDetails.exception?.description ?? exceptionDetails.text);
    return result.value;
}

// Where the canvas is on the page, asked quietly.
export const canvasBox = page => quietly(page, `(() => {
    const { x, y, width, height } = document.getElementById("canvas").getBoundingClientRect();
    return { x, y, width, height };
})()`);

// Waits, frame by frame of screenshots, until `test` holds of the canvas.
export async function waitForPicture(page, what, test, timeoutMs = 60000) {
    const deadline = Date.now() + timeoutMs;
    let last;
    while (Date.now() < deadline) {
        last = await canvasPicture(page).catch(() => null);
        if (last && test(last))
            return last;
        // The next picture is worth looking at once the page drew a frame.
        await quietly(page, "new Promise(drawn => requestAnimationFrame(() => drawn()))").catch(() => {});
    }
    throw new Error(`the canvas never showed ${what}`);
}

export const linuxPicture = name => decodePng(readFileSync(join(root, "docs", name)));

// The board's client area at the start of a game is the Linux harness's
// picture (docs/board.png), pixel for pixel, but for the prize slots, whose
// lights run in turn until a game starts: the rows above them are found, the
// prompt below them must be at the same place.
export const kSlotRows = [327, 399];
export function findBoard(picture) {
    const board = linuxPicture("board.png");
    const at = findPicture(picture, rows(board, 0, kSlotRows[0]));
    return at !== null &&
                   differingPixels(picture, rows(board, kSlotRows[1], board.height), at.left,
                                   at.top + kSlotRows[1]) === 0
               ? at
               : null;
}
export const showsBoard = picture => findBoard(picture) !== null;

// Where the splash is on the canvas, once it is shown.
export async function waitForSplash(page) {
    const splash = linuxPicture("splash.png");
    let at = null;
    await waitForPicture(page, "the Linux build's splash", p => (at = findPicture(p, splash)) !== null);
    return at;
}

// A click at (x, y) of a window's client area found at `at` on the canvas.
export async function clickAt(page, at, x, y) {
    const canvas = await canvasBox(page);
    await page.mouse.click(canvas.x + at.left + x, canvas.y + at.top + y);
}

// The splash clicked, the board shown: where the board's client area is.
export async function openBoard(page) {
    await clickAt(page, await waitForSplash(page), 240, 168);
    let at = null;
    await waitForPicture(page, "the Linux build's board", p => (at = findBoard(p)) !== null);
    return at;
}

// A new page on the game with its board open: the page and where the board is.
export async function boardPage(browser, url) {
    const page = await browser.newPage();
    await page.goto(url);
    return { page, board: await openBoard(page) };
}

// `play` with a browser of its own, closed whatever happens.
export async function withBrowser(profile, options, play) {
    if (typeof options === "function")
        [options, play] = [{}, options];
    const browser = await launch(profile, options);
    try {
        return await play(browser);
    } finally {
        await browser.close();
    }
}
