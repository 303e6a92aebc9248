// SDL draws the windows with its software renderer, as the Linux harness
// does, so that they are the Linux build's pixels: WebGL's blending rounds
// the edges of text one level away from SDL's own.
Module.preRun = Module.preRun || [];
Module.preRun.push(() => {
    ENV.SDL_RENDER_DRIVER = "software";
});
