// The page's data folder, /data, kept in IndexedDB and read in before the
// game starts: the game plays there as it plays in its folder on Linux
// (top10.dat, speed.dat, and sounds/, a link to the cues in the page's data),
// and keeps its settings there too. Every save copies the folder back
// (files_lasting_web.cpp). A browser that refuses the storage leaves the game
// playing in memory, and its saves fail as saves do.
Module.preRun = Module.preRun || [];
Module.preRun.push(() => {
    // The cues came with the page: they are never copied into the storage.
    const ownSet = IDBFS.getLocalSet;
    IDBFS.getLocalSet = (mount, callback) => ownSet(mount, (error, set) => {
        if (set)
            for (const path of Object.keys(set.entries))
                if (path === "/data/sounds" || path.startsWith("/data/sounds/"))
                    delete set.entries[path];
        callback(error, set);
    });
    // The game makes its cues here at its first picture.
    FS.mkdir("/cues");
    FS.mkdir("/data");
    FS.mount(IDBFS, {}, "/data");
    FS.chdir("/data");
    ENV.XDG_CONFIG_HOME = "/data/.config";
    addRunDependency("data folder");
    FS.syncfs(true, error => {
        if (error)
            console.error("pegdrop: the saved data could not be read: " + (error.message || error));
        try {
            FS.symlink("/cues", "/data/sounds");
        } catch (e) {
            // already there
        }
        removeRunDependency("data folder");
    });
});
