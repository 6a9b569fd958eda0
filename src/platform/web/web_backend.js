// The page side of the browser backend, as an Emscripten JS library: the waits the program
// sleeps in (by Asyncify, so the page runs meanwhile), the modal box, the canvases that are the
// program's windows, and the probe for WebGL 2.
mergeInto(LibraryManager.library, {
    // The one sleep in progress: how to end it, and its timer.
    $webSleep: {wake: null, timer: 0},

    // Resumes the program from the page's event loop. Through callUserCallback, so that the
    // program's exit() on the way ends quietly instead of surfacing as a script error.
    $webResume__deps: ['$webSleep'],
    $webResume: function(wakeUp) {
        webSleep.wake = null;
        clearTimeout(webSleep.timer);
        callUserCallback(wakeUp);
    },

    webWaitForInput__deps: ['$webSleep', '$webResume'],
    webWaitForInput: function(timeoutMs) {
        Asyncify.handleSleep(function(wakeUp) {
            webSleep.wake = function() { webResume(wakeUp); };
            if (timeoutMs >= 0) webSleep.timer = setTimeout(webSleep.wake, timeoutMs);
        });
    },

    // Called while compiled code is on the stack (an input callback), so the program resumes
    // only once that code has returned: in a microtask, before the page's next event.
    webWakeUp__deps: ['$webSleep'],
    webWakeUp: function() {
        var wake = webSleep.wake;
        if (wake) {
            webSleep.wake = null;
            clearTimeout(webSleep.timer);
            queueMicrotask(wake);
        }
    },

    webWaitForFrame__deps: ['$webResume'],
    webWaitForFrame: function() {
        Asyncify.handleSleep(function(wakeUp) { requestAnimationFrame(function() { webResume(wakeUp); }); });
    },

    // A <dialog> shown modal, so the rest of the page takes no input while it is up.
    webShowMessageBox__deps: ['$webResume'],
    webShowMessageBox: function(caption, text, error) {
        Asyncify.handleSleep(function(wakeUp) {
            var box = document.createElement('dialog');
            box.className = error ? 'win32-box win32-error' : 'win32-box';
            var title = document.createElement('h1');
            title.textContent = UTF8ToString(caption);
            var body = document.createElement('p');
            body.textContent = UTF8ToString(text);
            var ok = document.createElement('button');
            ok.textContent = 'OK';
            box.append(title, body, ok);
            var dismiss = function() {
                box.close();
                box.remove();
                webResume(wakeUp);
            };
            ok.addEventListener('click', dismiss);
            // Return and Esc press OK; no key reaches the program's windows while the box is up.
            box.addEventListener('keydown', function(event) {
                event.stopPropagation();
                if (event.key === 'Enter' || event.key === 'Escape') {
                    event.preventDefault();
                    dismiss();
                }
            });
            box.addEventListener('cancel', function(event) { event.preventDefault(); });
            document.body.append(box);
            box.showModal();
            ok.focus();
        });
    },

    webCreateCanvas: function(id, title) {
        var canvas = document.createElement('canvas');
        canvas.id = UTF8ToString(id);
        canvas.className = 'win32-window';
        canvas.style.position = 'absolute';
        canvas.style.display = 'none';
        // The program's drag is its own: no text selection, no touch scrolling, no menu.
        canvas.style.touchAction = 'none';
        canvas.addEventListener('contextmenu', function(event) { event.preventDefault(); });
        document.body.append(canvas);
        document.title = UTF8ToString(title);
    },

    // The drawing buffer has the window's size; CSS pixels are that over the pixel ratio.
    webPlaceCanvas: function(id, x, y, width, height, pixelRatio) {
        var canvas = document.getElementById(UTF8ToString(id));
        canvas.style.left = (x / pixelRatio) + 'px';
        canvas.style.top = (y / pixelRatio) + 'px';
        canvas.style.width = (width / pixelRatio) + 'px';
        canvas.style.height = (height / pixelRatio) + 'px';
        if (canvas.width !== width) canvas.width = width;
        if (canvas.height !== height) canvas.height = height;
    },

    webShowCanvas: function(
        id, shown) { document.getElementById(UTF8ToString(id)).style.display = shown ? 'block' : 'none'; },

    webRemoveCanvas: function(id) {
        var canvas = document.getElementById(UTF8ToString(id));
        if (canvas) canvas.remove();
    },

    // Later elements of the page are drawn over earlier ones.
    webRaiseCanvas: function(id) { document.body.append(document.getElementById(UTF8ToString(id))); },

    webViewportWidth: function() { return window.innerWidth; },
    webViewportHeight: function() { return window.innerHeight; },
    webCanvasLeft: function(
        id) { return document.getElementById(UTF8ToString(id)).getBoundingClientRect().left; },
    webCanvasTop: function(
        id) { return document.getElementById(UTF8ToString(id)).getBoundingClientRect().top; },

    // A throw-away canvas asks for what the program's windows will get; its context is let go.
    webProbeWebGl2DepthBits: function() {
        var gl = document.createElement('canvas').getContext('webgl2', {depth: true, antialias: false});
        if (!gl) return 0;
        var bits = gl.getParameter(gl.DEPTH_BITS);
        var lose = gl.getExtension('WEBGL_lose_context');
        if (lose) lose.loseContext();
        return bits;
    },
});
