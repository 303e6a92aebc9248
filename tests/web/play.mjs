// Plays the page in Debian's headless Chromium, every check waiting on what
// the canvas shows:  node play.mjs FOLDER [SCENARIO...]
// FOLDER is the web package's folder, served here by Python's http.server.
// Prints one line a scenario and "N passed, N failed"; exits 1 on a failure.
import { spawn } from "node:child_process";
import { mkdtempSync, readFileSync, rmSync, writeFileSync } from "node:fs";
import { createServer } from "node:net";
import { tmpdir } from "node:os";
import { dirname, join } from "node:path";
import { fileURLToPath } from "node:url";
import { gzipSync } from "node:zlib";
import puppeteer from "puppeteer-core";
import { decodePng, differingPixels, findPicture, rows } from "./png.mjs";

const here = dirname(fileURLToPath(import.meta.url));
const root = join(here, "..", "..");
const folder = process.argv[2];
const chosen = process.argv.slice(3);

function freePort() {
    return new Promise(resolve => {
        const server = createServer().listen(0, "127.0.0.1", () => {
            const { port } = server.address();
            server.close(() => resolve(port));
        });
    });
}

async function serve() {
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

// A browser with a profile of its own, as a player's first visit.
async function launch(profile) {
    const browser = await puppeteer.launch({
        executablePath: "/usr/bin/chromium",
        headless: true,
        userDataDir: profile,
        args: ["--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
               "--disable-background-networking", "--disable-component-update", "--disable-sync",
               "--enable-unsafe-swiftshader", "--autoplay-policy=no-user-gesture-required",
               "--window-size=800,600"],
        defaultViewport: { width: 800, height: 600 },
    });
    // The game's stdout and stderr, and the page's errors, for a failure's reader.
    browser.on("targetcreated", async target => {
        const page = await target.page();
        if (page) {
            page.on("console", message => log.push(message.text()));
            page.on("pageerror", error => log.push(error.message));
        }
    });
    return browser;
}
const log = [];

// The last picture taken, written beside the failure's message.
let lastShot = null;
async function canvasPicture(page) {
    const box = await (await page.$("#canvas")).boundingBox();
    // The canvas is the whole viewport: taken beyond it, the page would be
    // resized for the picture and back, and the desktop with it.
    lastShot = Buffer.from(await page.screenshot({ encoding: "binary", clip: box,
                                                   captureBeyondViewport: false }));
    return decodePng(lastShot);
}

// Waits, frame by frame of screenshots, until `test` holds of the canvas.
async function waitForPicture(page, what, test, timeoutMs = 60000) {
    const deadline = Date.now() + timeoutMs;
    let last;
    while (Date.now() < deadline) {
        last = await canvasPicture(page).catch(() => null);
        if (last && test(last))
            return last;
        // The next picture is worth looking at once the page drew a frame.
        await page.evaluate(() => new Promise(drawn => requestAnimationFrame(() => drawn()))).catch(() => {});
    }
    throw new Error(`the canvas never showed ${what}`);
}

const linuxPicture = name => decodePng(readFileSync(join(root, "docs", name)));

// The board's client area at the start of a game is the Linux harness's
// picture (docs/board.png), but for the prize slots, whose lights run in turn
// until a game starts: the rows above them are found, the prompt below them
// must be at the same place.
const kSlotRows = [327, 399];
function showsBoard(picture) {
    const board = linuxPicture("board.png");
    const at = findPicture(picture, rows(board, 0, kSlotRows[0]), 1);
    return at !== null &&
           differingPixels(picture, rows(board, kSlotRows[1], board.height), at.left,
                           at.top + kSlotRows[1], 1) === 0;
}

const scenarios = {
    // The splash is the first picture, and its pixels are the Linux build's
    // (the harness's picture in docs/splash.png): the same text laid out
    // alike, its anti-aliased edges within one level, where Linux's SDL
    // blends with the processor's vector instructions and the page's with
    // plain C.
    async splash({ url, profile, figures }) {
        const browser = await launch(profile);
        try {
            const page = await browser.newPage();
            // make bench's start figure, read the same way: the clock when the
            // first picture was on the screen, here since navigation began.
            await page.evaluateOnNewDocument(() => {
                window.Module = { preRun: [() => { Module.ENV.PEGDROP_FIRST_FRAME_FILE = "/first-picture"; }] };
            });
            await page.goto(url);
            const splash = linuxPicture("splash.png");
            await waitForPicture(page, "the Linux build's splash", p => findPicture(p, splash, 1));
            figures.firstPictureMs = await page.evaluate(() => {
                const at = Module.FS.readFile("/first-picture", { encoding: "utf8" });
                return Number(at) / 1e6;
            }).catch(() => undefined);
        } finally {
            await browser.close();
        }
    },

    // A click on the splash opens the board on the composited desktop.
    async board({ url, profile }) {
        const browser = await launch(profile);
        try {
            const page = await browser.newPage();
            await page.goto(url);
            const splash = linuxPicture("splash.png");
            let at = null;
            await waitForPicture(page, "the splash", p => (at = findPicture(p, splash, 1)) !== null);
            const canvas = await (await page.$("#canvas")).boundingBox();
            await page.mouse.click(canvas.x + at.left + 240, canvas.y + at.top + 168);
            await waitForPicture(page, "the Linux build's board", showsBoard);
        } finally {
            await browser.close();
        }
    },

    // After one visit the service worker has every file: with the network
    // off the page loads again and shows its first picture.
    async offline({ url, profile }) {
        const browser = await launch(profile);
        try {
            const page = await browser.newPage();
            await page.goto(url);
            const splash = linuxPicture("splash.png");
            const showsSplash = p => findPicture(p, splash, 1) !== null;
            await waitForPicture(page, "the splash", showsSplash);
            await page.evaluate(async () => {
                await navigator.serviceWorker.ready;
                const names = await caches.keys();
                const cache = await caches.open(names.find(n => n.startsWith("pegdrop-")));
                for (const file of ["pegdrop.js", "pegdrop.wasm", "pegdrop.data"])
                    if (!(await cache.match(file)))
                        throw new Error(file + " is not kept");
            });
            await page.setOfflineMode(true);
            await page.reload();
            await waitForPicture(page, "the splash with the network off", showsSplash);
        } finally {
            await browser.close();
        }
    },
};

const names = chosen.length ? chosen : Object.keys(scenarios);
const { url, stop } = await serve();
let passed = 0, failed = 0;
const figures = {};
try {
    for (const name of names) {
        const profile = mkdtempSync(join(tmpdir(), "pegdrop-web-"));
        const started = Date.now();
        lastShot = null;
        log.length = 0;
        try {
            await scenarios[name]({ url, profile, figures });
            ++passed;
            console.log(`ok   ${name} (${((Date.now() - started) / 1000).toFixed(1)} s)`);
        } catch (error) {
            ++failed;
            console.log(`FAIL ${name}: ${error.message}`);
            for (const line of log)
                console.log(`     page: ${line}`);
            if (lastShot) {
                const shot = join(tmpdir(), `pegdrop-web-${name}.png`);
                writeFileSync(shot, lastShot);
                console.log(`     the canvas last showed ${shot}`);
            }
        } finally {
            rmSync(profile, { recursive: true, force: true });
        }
    }
} finally {
    stop();
}
for (const [name, value] of Object.entries(figures))
    if (value !== undefined)
        console.log(`figure ${name}: ${typeof value === "number" ? value.toFixed(1) : value}`);
// What a first visit downloads, raw and gzipped as a server would send it;
// the fallback face comes only when a name needs it.
let raw = 0, gzipped = 0;
for (const file of ["index.html", "pegdrop.js", "pegdrop.wasm", "pegdrop.data"]) {
    const bytes = readFileSync(join(folder, file));
    const packed = gzipSync(bytes, { level: 9 }).length;
    raw += bytes.length;
    gzipped += packed;
    console.log(`figure download ${file}: ${(bytes.length / 1024).toFixed(0)} KB, ${(packed / 1024).toFixed(0)} KB gzipped`);
}
console.log(`figure download total: ${(raw / 1024).toFixed(0)} KB, ${(gzipped / 1024).toFixed(0)} KB gzipped`);
console.log(`${passed} passed, ${failed} failed`);
process.exit(failed ? 1 : 0);
