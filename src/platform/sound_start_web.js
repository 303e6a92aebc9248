// Browsers keep a page's sound off until the player's first click, tap or
// key. Meanwhile SDL's audio node is not asked for samples, so a cue asked for
// before that (the splash's) would wait and sound at the first gesture from
// its start, late, over whatever that gesture opened. Here the cues run on
// silently at the device's pace until the sound starts: the first gesture
// hears each cue where it would be by now, and a finished one not at all.
Module.preRun = Module.preRun || [];
Module.preRun.push(() => {
    let ranTo = null;
    const paceWhileSilent = setInterval(() => {
        const sdl = Module.SDL2;
        const node = sdl && sdl.audio && sdl.audio.scriptProcessorNode;
        if (!node || !sdl.audioContext)
            return;
        const context = sdl.audioContext;
        if (context.state !== "suspended") {
            clearInterval(paceWhileSilent);
            return;
        }
        const now = performance.now();
        if (ranTo === null)
            ranTo = now;
        const bufferMs = (1000 * node.bufferSize) / context.sampleRate;
        // One channel: SDL's whole buffer is mixed, only its first channel
        // is copied out, and then dropped.
        for (; now - ranTo >= bufferMs; ranTo += bufferMs)
            node.onaudioprocess({ outputBuffer: context.createBuffer(1, node.bufferSize, context.sampleRate) });
    }, 50);
});
