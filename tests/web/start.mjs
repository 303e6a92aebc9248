// The page's start: its first picture, the board, and both again offline.
import { withBrowser, boardPage, linuxPicture, waitForPicture, waitForSplash } from "./page.mjs";
import { findPicture } from "./png.mjs";

export const scenarios = {
    // The splash is the first picture, and its pixels are the Linux build's
    // (the harness's picture in docs/splash.png), every one.
    async splash({ url, profile, figures }) {
        await withBrowser(profile, async browser => {
            const page = await browser.newPage();
            // make bench's start figure, read the same way: the clock when the
            // first picture was on the screen, here since navigation began.
            await page.evaluateOnNewDocument(() => {
                window.Module = { preRun: [() => { Module.ENV.PEGDROP_FIRST_FRAME_FILE = "/first-picture"; }] };
            });
            await page.goto(url);
            await waitForSplash(page);
            figures.firstPictureMs = await page.evaluate(() => {
                const at = Module.FS.readFile("/first-picture", { encoding: "utf8" });
                return Number(at) / 1e6;
            }).catch(() => undefined);
        });
    },

    // A click on the splash opens the board on the composited desktop.
    async board({ url, profile }) {
        await withBrowser(profile, async browser => {
            await boardPage(browser, url);
        });
    },

    // After one visit the service worker has every file: with the network
    // off the page loads again and shows its first picture. The manifest's
    // icons are the sizes it says, 192 and 512 among them, as a browser
    // needs to install the page as an app.
    async offline({ url, profile }) {
        await withBrowser(profile, async browser => {
            const page = await browser.newPage();
            await page.goto(url);
            const splash = linuxPicture("splash.png");
            const showsSplash = p => findPicture(p, splash) !== null;
            await waitForPicture(page, "the splash", showsSplash);
            await page.evaluate(async () => {
                await navigator.serviceWorker.ready;
                const names = await caches.keys();
                const cache = await caches.open(names.find(n => n.startsWith("pegdrop-")));
                for (const file of ["pegdrop.js", "pegdrop.wasm", "pegdrop.data", "manifest.webmanifest"])
                    if (!(await cache.match(file)))
                        throw new Error(file + " is not kept");
                const icons = (await (await cache.match("manifest.webmanifest")).json()).icons;
                for (const icon of icons) {
                    const kept = await cache.match(icon.src);
                    if (!kept)
                        throw new Error(icon.src + " is not kept");
                    const head = new DataView(await kept.arrayBuffer());
                    const size = `${head.getUint32(16)}x${head.getUint32(20)}`;
                    if (size !== icon.sizes || icon.purpose !== "any")
                        throw new Error(`${icon.src} is ${size} for ${icon.purpose}, not ${icon.sizes} for any`);
                }
                for (const size of ["192x192", "512x512"])
                    if (!icons.some(icon => icon.sizes === size))
                        throw new Error("the manifest has no icon of " + size);
            });
            await page.setOfflineMode(true);
            await page.reload();
            await waitForPicture(page, "the splash with the network off", showsSplash);
        });
    },
};
