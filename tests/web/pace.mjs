// A chip's fall on the page: dropped by a finger, its pace, what the browser
// costs while the board waits, and the sound that waits for a gesture.
import { readdirSync, readFileSync } from "node:fs";
import { withBrowser, canvasBox, canvasPicture, clickAt, findBoard, kSlotRows, openBoard, quietly, waitForPicture, waitForSplash, boardPage } from "./page.mjs";
import { differingPixels } from "./png.mjs";

// Rows of the board's client area found at `at` on the canvas.
function boardRows(picture, at, top, bottom) {
    const width = 600, height = bottom - top;
    const rgba = Buffer.alloc(width * height * 4);
    for (let y = 0; y < height; ++y) {
        const from = ((at.top + top + y) * picture.width + at.left) * 4;
        picture.rgba.copy(rgba, y * width * 4, from, from + width * 4);
    }
    return { width, height, rgba, top };
}
const shows = (picture, at, part) => differingPixels(picture, part, at.left, at.top + part.top) === 0;

// The board's message line (lblMessage): blanked at the release, given the
// slot's caption at the landing.
const messageOf = (picture, at) => boardRows(picture, at, 400, 456);
const sameMessage = (picture, at, message) => shows(picture, at, message);

// A game started with T: the board's top rows, the chip waiting there.
async function startTournament(page, at) {
    const before = messageOf(await canvasPicture(page), at);
    await page.keyboard.press("t");
    const p = await waitForPicture(page, "the tournament's first chip", p => !sameMessage(p, at, before));
    return boardRows(p, at, 0, 40);
}

// The message line with no caption, seen at the first release.
let blankMessage = null;

// The game's own timing of each fall, on its clock: "SPEED MICROSECONDS"
// lines in the page's file system, asked for before the game starts.
const kFallFile = "/falls";
const reportFalls = page => page.evaluateOnNewDocument(file => {
    window.Module = { preRun: [() => { Module.ENV.PEGDROP_FALL_FILE = file; }] };
}, kFallFile);
// The lines reported so far, each [speed, seconds].
const reportedFalls = async page => (await quietly(page, `Module.FS.analyzePath("${kFallFile}").exists
    ? Module.FS.readFile("${kFallFile}", { encoding: "utf8" }) : ""`))
    .split("\n").filter(line => line !== "").map(line => line.split(" ").map(Number))
    .map(([speed, us]) => [speed, us / 1e6]);

// Drops the chip with `release` and waits for the landing's caption (the
// message line is blanked at the release).
async function fall(page, at, release) {
    const before = messageOf(await canvasPicture(page), at);
    await release();
    await waitForPicture(page, "the landing's caption", p => {
        if (sameMessage(p, at, before))
            return false;
        if (blankMessage === null)
            blankMessage = messageOf(p, at);
        return !sameMessage(p, at, blankMessage);
    });
}

// The board's client point (x, y) on the page.
async function pagePoint(page, at, x, y) {
    const canvas = await canvasBox(page);
    return { x: canvas.x + at.left + x, y: canvas.y + at.top + y };
}

// Chromium's processes: the browser and everything it started.
function processTree(root) {
    const children = new Map();
    for (const name of readdirSync("/proc").filter(n => /^\d+$/.test(n))) {
        try {
            const stat = readFileSync(`/proc/${name}/stat`, "utf8");
            const ppid = Number(stat.slice(stat.lastIndexOf(")") + 2).split(" ")[1]);
            children.set(ppid, [...(children.get(ppid) ?? []), Number(name)]);
        } catch {
            // the process ended while listed
        }
    }
    const tree = [root];
    for (let i = 0; i < tree.length; ++i)
        tree.push(...(children.get(tree[i]) ?? []));
    return tree;
}

function cpuTicks(pids) {
    let ticks = 0;
    for (const pid of pids) {
        try {
            const stat = readFileSync(`/proc/${pid}/stat`, "utf8");
            const fields = stat.slice(stat.lastIndexOf(")") + 2).split(" ");
            ticks += Number(fields[11]) + Number(fields[12]); // utime, stime
        } catch {
            // the process ended
        }
    }
    return ticks;
}

export const scenarios = {
    // A tap is a click; a finger pressed at the top of the board, dragged
    // along it and lifted drops the chip, which lands with a caption.
    async touch({ url, profile }) {
        await withBrowser(profile, async browser => {
            const page = await browser.newPage();
            await page.emulate({ viewport: { width: 800, height: 600, hasTouch: true, isMobile: false },
                                 userAgent: await browser.userAgent() });
            await page.goto(url);
            const splash = await waitForSplash(page);
            const tap = await pagePoint(page, splash, 240, 168);
            await page.touchscreen.tap(tap.x, tap.y);
            let at = null;
            await waitForPicture(page, "the board after a tap", p => (at = findBoard(p)) !== null);
            await startTournament(page, at);
            await fall(page, at, async () => {
                const start = await pagePoint(page, at, 300, 16);
                await page.touchscreen.touchStart(start.x, start.y);
                for (let x = 300; x >= 200; x -= 20) {
                    const to = await pagePoint(page, at, x, 16);
                    await page.touchscreen.touchMove(to.x, to.y);
                }
                await page.touchscreen.touchEnd();
            });
        });
    },

    // A fall at Speed 300 takes 5.0 s within 2 %, as the game times it on
    // its clock in the page; those at 1 and 500 are figures. Each speed is
    // set in the speed window, between the chips of one tournament, as a
    // player would; 300 falls twice, the page's first fall at that speed and
    // one after.
    async pace({ url, profile, figures }) {
        await withBrowser(profile, async browser => {
            const page = await browser.newPage();
            await reportFalls(page);
            await page.goto(url);
            const at = await openBoard(page);
            const top = await startTournament(page, at);
            const chipAtTop = p => shows(p, at, top);
            // Speed 500 first: its fall shows the blanked message that the
            // others' landings are told from.
            const speeds = [500, 1, 300, 300];
            for (const speed of speeds) {
                await waitForPicture(page, "the chip at the top", chipAtTop);
                // the rows the speed window covers, the winnings among them
                const under = boardRows(await canvasPicture(page), at, 88, kSlotRows[0]);
                await page.keyboard.press("s");
                await waitForPicture(page, "the speed window over the board", p => !shows(p, at, under));
                await page.keyboard.press("Home");
                await page.keyboard.down("Shift");
                await page.keyboard.press("End");
                await page.keyboard.up("Shift");
                await page.keyboard.type(String(speed));
                // OK, the speed window centred over the board (Enter is its
                // test run's).
                await clickAt(page, at, 120 + 40, 88 + 260);
                await waitForPicture(page, "the board without the speed window", p => shows(p, at, under));
                await fall(page, at, () => page.keyboard.press("ArrowDown"));
            }
            const falls = await reportedFalls(page);
            if (falls.map(([speed]) => speed).join() !== speeds.join())
                throw new Error(`the game timed falls at ${JSON.stringify(falls)}, not at speeds ${speeds}`);
            const at300 = falls.filter(([speed]) => speed === 300).map(([, seconds]) => seconds);
            for (const [speed, seconds] of falls)
                figures[`pace Speed ${speed} (s)`] = at300.length > 1 && speed === 300
                    ? at300.map(s => s.toFixed(3)).join(", ") : seconds.toFixed(3);
            for (const seconds of at300)
                if (Math.abs(seconds - 5.0) > 0.1)
                    throw new Error(`a fall at Speed 300 took ${seconds.toFixed(3)} s, not 5.0 s`);
        });
    },

    // What the browser's processes cost while the board waits for a chip:
    // their CPU over 10 s, as a share of one core (a figure, not asserted).
    async idle({ url, profile, figures }) {
        await withBrowser(profile, async browser => {
            await boardPage(browser, url);
            const tree = processTree(browser.process().pid);
            const ticks = cpuTicks(tree), since = Date.now();
            // A measuring window, not a wait for the page: nothing is awaited.
            await new Promise(r => setTimeout(r, 10000));
            const seconds = (Date.now() - since) / 1000;
            figures["idle CPU, board open (% of a core)"] = (cpuTicks(tree) - ticks) / seconds;
            figures["idle CPU, load average"] = readFileSync("/proc/loadavg", "utf8").split(" ")[0];
        });
    },

    // Sound waits for the first gesture: before it the game draws and plays
    // silently; the click on the splash starts the sound, and SDL's audio
    // node is then fed. The splash's cue runs on silently meanwhile: clicked
    // once the cue would have ended, the board opens in silence, the cue not
    // played late over it.
    async sound({ url, profile }) {
        await withBrowser(profile, { waitsForGesture: true }, async browser => {
            const page = await browser.newPage();
            await page.goto(url);
            const splash = await waitForSplash(page);
            const state = () => quietly(page, "Module.SDL2?.audioContext?.state ?? 'none'");
            // The sound card is opened just after the first picture.
            await quietly(page, `new Promise(opened => {
                const poll = setInterval(() => Module.SDL2?.audioContext && (clearInterval(poll), opened()), 10);
            })`);
            if ((await state()) !== "suspended")
                throw new Error(`before any gesture the sound is ${await state()}, not suspended`);
            // The cue's length from its WAV header: data bytes / bytes a second.
            await quietly(page, `new Promise(ended => {
                const wav = Module.FS.readFile("/cues/pegdrop.wav");
                const header = new DataView(wav.buffer, wav.byteOffset);
                setTimeout(ended, 1000 * (wav.length - 44) / header.getUint32(28, true) + 500);
            })`);
            await quietly(page, `{
                const node = Module.SDL2.audio.scriptProcessorNode;
                const fill = node.onaudioprocess;
                window.pegdropFed = window.pegdropHeard = 0;
                node.onaudioprocess = e => {
                    fill(e);
                    if (Module.SDL2.audioContext.state !== "running")
                        return;
                    ++window.pegdropFed;
                    if (e.outputBuffer.getChannelData(0).some(v => v !== 0))
                        ++window.pegdropHeard;
                };
            }`);
            await clickAt(page, splash, 240, 168);
            await waitForPicture(page, "the board after the first click", p => findBoard(p) !== null);
            await page.waitForFunction(() => window.pegdropFed > 20, { timeout: 30000 });
            const heard = await quietly(page, "window.pegdropHeard");
            if (heard !== 0)
                throw new Error(`the splash's cue sounded late over the board (${heard} buffers)`);
        });
    },
};
