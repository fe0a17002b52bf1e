// The page around the show: checks for WebGL, fetches the show's files with
// a progress bar, loads the program with them in its memory file system,
// shows Start over the first picture and makes the audio context at the
// click, and says on the page when the show is over or why it cannot run.
//
// The address may ask for ?at=MS (start there) or ?capture=T1,T2,... (frames
// of those music times on the virtual clock, shown as images, as zelkor
// capture makes them; ?size=WxH, default 640x480, and ?sim-fps=M, default 60). The page's state is body[data-state]: loading,
// preparing, ready, playing, over, capturing, captured or failed;
// window.marovy reads the program's music time and frame count.
"use strict";

(function () {
    const $ = (id) => document.getElementById(id);
    const query = new URLSearchParams(location.search);
    const stderr = []; // the program's error lines, shown with a failure
    let audioContext = null;

    function setState(state) {
        document.body.dataset.state = state;
    }

    function show(element, visible) {
        element.hidden = !visible;
    }

    function fail(text) {
        setState("failed");
        show($("overlay"), true);
        show($("loading"), false);
        show($("start"), false);
        show($("warning"), false);
        $("message").textContent = text;
        show($("message"), true);
        if (stderr.length) {
            $("details").textContent = stderr.join("\n");
            show($("details"), true);
        }
        stopSound();
    }

    function stopSound() {
        if (audioContext) audioContext.close().catch(() => {});
        audioContext = null;
    }

    function hasWebGL() {
        const canvas = document.createElement("canvas");
        let gl = null;
        try {
            gl = canvas.getContext("webgl2") || canvas.getContext("webgl");
        } catch (e) {
            gl = null;
        }
        // Give the trial context back: browsers keep only a few at once.
        const lose = gl && gl.getExtension("WEBGL_lose_context");
        if (lose) lose.loseContext();
        return !!gl;
    }

    // The query, as the program's arguments.
    function programArguments() {
        const args = [];
        const times = /^\d+(,\d+)*$/;
        if (query.has("at")) {
            if (!/^\d+$/.test(query.get("at"))) throw new Error("?at= takes a music time in milliseconds, such as ?at=30000.");
            args.push("--at", query.get("at"));
        }
        if (query.has("capture")) {
            if (!times.test(query.get("capture")))
                throw new Error("?capture= takes music times in milliseconds, in order, such as ?capture=1000,2000.");
            args.push("--capture", query.get("capture"));
            if (query.has("size")) {
                if (!/^\d+x\d+$/.test(query.get("size"))) throw new Error("?size= takes WxH, such as ?size=640x480.");
                args.push("--size", query.get("size"));
            }
            if (query.has("sim-fps")) {
                if (!/^\d+$/.test(query.get("sim-fps"))) throw new Error("?sim-fps= takes frames a second, 1 to 240.");
                args.push("--sim-fps", query.get("sim-fps"));
            }
        }
        return args;
    }

    function megabytes(n) {
        return (n / 1048576).toFixed(1);
    }

    // Every file the show reads, fetched at once, with one progress bar.
    async function fetchFiles() {
        const listing = await fetch("data/files.json");
        if (!listing.ok) throw new Error(`Could not load data/files.json (${listing.status} ${listing.statusText}).`);
        const list = await listing.json();
        const total = list.reduce((sum, f) => sum + f.size, 0) || 1;
        let loaded = 0;
        const progress = () => {
            $("fill").style.width = `${Math.min(100, (100 * loaded) / total)}%`;
            $("status").textContent = `Loading the show: ${megabytes(loaded)} of ${megabytes(total)} MB`;
        };
        progress();
        return Promise.all(
            list.map(async (file) => {
                const path = `data/${file.name}`;
                let response;
                try {
                    response = await fetch(path);
                } catch (e) {
                    throw new Error(`Could not load ${path}: the server did not answer.`);
                }
                if (!response.ok) throw new Error(`Could not load ${path} (${response.status} ${response.statusText}).`);
                const reader = response.body.getReader();
                const chunks = [];
                let size = 0;
                for (;;) {
                    const { done, value } = await reader.read();
                    if (done) break;
                    chunks.push(value);
                    size += value.length;
                    loaded += value.length;
                    progress();
                }
                const bytes = new Uint8Array(size);
                let at = 0;
                for (const chunk of chunks) {
                    bytes.set(chunk, at);
                    at += chunk.length;
                }
                return { name: file.name, bytes, holds: file.holds || [] };
            })
        );
    }

    // What the program tells the page (main.cpp, system_web.cpp).
    const page = {
        ready() {
            setState("ready");
            show($("loading"), false);
            show($("start"), true);
            $("start").focus();
        },
        over() {
            setState("over");
            stopSound();
            show($("overlay"), true);
            show($("start"), false);
            show($("warning"), false);
            $("message").textContent = "The show is over.";
            show($("message"), true);
            show($("again"), true);
        },
        failed(text) {
            fail(text ? `The show stopped: ${text}.` : "The show stopped.");
        },
        messageBox(caption, text) {
            stderr.push(`${caption}: ${text}`);
        },
        captured(index, music, width, height, rgb) {
            const canvas = document.createElement("canvas");
            canvas.width = width;
            canvas.height = height;
            const context = canvas.getContext("2d");
            const image = context.createImageData(width, height);
            // Rows come bottom up, as GL reads them.
            for (let y = 0; y < height; y++) {
                const from = (height - 1 - y) * width * 3;
                for (let x = 0; x < width; x++) {
                    const i = (y * width + x) * 4, j = from + x * 3;
                    image.data[i] = rgb[j];
                    image.data[i + 1] = rgb[j + 1];
                    image.data[i + 2] = rgb[j + 2];
                    image.data[i + 3] = 255;
                }
            }
            context.putImageData(image, 0, 0);
            const img = document.createElement("img");
            img.className = "capture";
            img.dataset.index = index;
            img.dataset.music = music;
            img.alt = `the show at ${music} ms`;
            img.src = canvas.toDataURL("image/png");
            $("captures").appendChild(img);
        },
        captureDone() {
            setState("captured");
            show($("overlay"), false);
        },
    };

    function start() {
        const clickTime = performance.now();
        // Browsers let sound start from a click only.
        try {
            const Context = window.AudioContext || window.webkitAudioContext;
            if (Context) audioContext = new Context();
        } catch (e) {
            audioContext = null;
        }
        const Module = window.Module;
        Module.zkAudio = Module.zkAudio || { streams: [] };
        Module.zkAudio.context = audioContext;
        setState("playing");
        show($("overlay"), false);
        $("canvas").focus();
        Module._web_start(clickTime);
    }

    function toggleFullscreen() {
        const root = document.documentElement;
        if (document.fullscreenElement || document.webkitFullscreenElement) {
            (document.exitFullscreen || document.webkitExitFullscreen).call(document);
        } else {
            const request = root.requestFullscreen || root.webkitRequestFullscreen;
            if (request) Promise.resolve(request.call(root)).catch(() => {});
        }
    }

    async function main() {
        let args;
        try {
            args = programArguments();
        } catch (e) {
            fail(e.message);
            return;
        }
        if (!hasWebGL()) {
            fail("This browser cannot show the show: it offers no WebGL. Turn on hardware acceleration " +
                 "(or WebGL) in its settings, or try another browser.");
            return;
        }
        const capture = args.includes("--capture");
        let files;
        try {
            files = await fetchFiles();
        } catch (e) {
            fail(e.message || `Could not load the show (${e}).`);
            return;
        }
        // Pictures packed in an archive, which the program unpacks first.
        const packed = files.flatMap((file) => file.holds);
        if (packed.length) args.push("--pictures", packed.join(","));
        setState(capture ? "capturing" : "preparing");
        $("status").textContent = capture ? "Capturing…" : "Preparing the show…";
        window.Module = {
            arguments: args,
            canvas: $("canvas"),
            page,
            print: (text) => console.log(text),
            printErr: (text) => {
                stderr.push(text);
                console.warn(text);
            },
            preRun: [
                () => {
                    const FS = window.Module.FS;
                    FS.mkdir("/show");
                    for (const file of files) {
                        // shaders/NAME.frag: its folder first
                        const slash = file.name.lastIndexOf("/");
                        if (slash > 0) FS.mkdirTree(`/show/${file.name.slice(0, slash)}`);
                        FS.writeFile(`/show/${file.name}`, file.bytes);
                    }
                },
            ],
            onAbort: (what) => fail(`The show stopped: ${what}.`),
        };
        // The program is named after the show (body[data-program]).
        const program = `${document.body.dataset.program || "marovy"}.js`;
        const script = document.createElement("script");
        script.src = program;
        script.onerror = () => fail(`Could not load ${program}, the show's program.`);
        document.body.appendChild(script);
    }

    window.marovy = {
        musicTime: () => (window.Module && window.Module._web_music_time ? window.Module._web_music_time() : 0),
        frames: () => (window.Module && window.Module._web_frames ? window.Module._web_frames() : 0),
        firstFrameMs: () => (window.Module && window.Module._web_first_frame_ms ? window.Module._web_first_frame_ms() : -1),
    };

    $("start").addEventListener("click", start);
    $("again").addEventListener("click", () => location.reload());
    $("fullscreen").addEventListener("click", toggleFullscreen);
    document.addEventListener("keydown", (event) => {
        if ((event.key === "f" || event.key === "F") && !event.ctrlKey && !event.metaKey && !event.altKey) toggleFullscreen();
    });
    main();
})();
