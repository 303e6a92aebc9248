// Plays the page in Debian's headless Chromium, every check waiting on what
// the canvas shows:  node play.mjs FOLDER [SCENARIO...]
// FOLDER is the web package's folder, served here by Python's http.server.
// Prints one line a scenario and "N passed, N failed"; exits 1 on a failure.
// Each scenario module exports `scenarios`, run in the order listed here.
import { mkdtempSync, readFileSync, rmSync, writeFileSync } from "node:fs";
import { tmpdir } from "node:os";
import { join } from "node:path";
import { gzipSync } from "node:zlib";
import { log, serve, shots } from "./page.mjs";
import { scenarios as pace } from "./pace.mjs";
import { scenarios as pixels } from "./pixels.mjs";
import { scenarios as start } from "./start.mjs";
import { scenarios as tournament } from "./tournament.mjs";

const folder = process.argv[2];
const chosen = process.argv.slice(3);
const scenarios = { ...start, ...tournament, ...pixels, ...pace };

const names = chosen.length ? chosen : Object.keys(scenarios);
const { url, stop } = await serve(folder);
let passed = 0, failed = 0;
const figures = {};
try {
    for (const name of names) {
        const profile = mkdtempSync(join(tmpdir(), "pegdrop-web-"));
        const started = Date.now();
        shots.last = null;
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
            if (shots.last) {
                const shot = join(tmpdir(), `pegdrop-web-${name}.png`);
                writeFileSync(shot, shots.last);
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
// the fallback face comes only when a name needs it, the icons only when the
// browser shows or installs the app. The goal: under 1536 KB gzipped.
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
