// The page side of the browser backend, as an Emscripten JS library: the waits the program
// sleeps in (by Asyncify, so the page runs meanwhile), the modal box, the canvases that are the
// program's windows on the page's desktop scaled to fit, touch and the page's key buttons, and
// the probe for WebGL 2.
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

    // The page's desktop holds the windows (the page's body where it has none), and is shown
    // scaled down, never up, so that every shown window is wholly in the space the page gives it.
    $webDesktop: {scale: 1, element: null, fit: null},
    $webFitDesktop__deps: ['$webDesktop'],
    $webFitDesktop: function() {
        var desktop = webDesktop.element, space = desktop.parentElement, right = 0, bottom = 0;
        if (desktop === document.body) return;
        for (var canvas of desktop.querySelectorAll('canvas')) {
            if (canvas.style.display === 'none') continue;
            right = Math.max(right, parseFloat(canvas.style.left) + parseFloat(canvas.style.width));
            bottom = Math.max(bottom, parseFloat(canvas.style.top) + parseFloat(canvas.style.height));
        }
        webDesktop.scale = Math.min(1, space.clientWidth / right, space.clientHeight / bottom);
        desktop.style.transform = webDesktop.scale < 1 ? 'scale(' + webDesktop.scale + ')' : '';
    },

    webCreateCanvas__deps: ['$webDesktop', '$webFitDesktop', 'webCanvasLost', 'webCanvasRestored'],
    webCreateCanvas: function(id, title) {
        if (!webDesktop.element) {
            webDesktop.element = document.getElementById('desktop') || document.body;
            webDesktop.fit = new ResizeObserver(webFitDesktop);
            webDesktop.fit.observe(webDesktop.element.parentElement);
        }
        var canvas = document.createElement('canvas');
        canvas.id = UTF8ToString(id);
        canvas.className = 'win32-window';
        canvas.style.position = 'absolute';
        canvas.style.display = 'none';
        // What the window shows, for those who cannot see it, as the page words it.
        canvas.setAttribute('role', 'img');
        canvas.setAttribute('aria-label', webDesktop.element.dataset.label || UTF8ToString(title));
        // The program's drag is its own: no text selection, no touch scrolling or zoom, no menu.
        canvas.style.touchAction = 'none';
        canvas.addEventListener('contextmenu', function(event) { event.preventDefault(); });
        // A lost WebGL context is kept restorable (the browser gives it back only when asked to by
        // this), and the program is told when it is lost and when it is back (by the id's number).
        var number = Number(canvas.id.split('-').pop());
        canvas.addEventListener('webglcontextlost', function(event) {
            event.preventDefault();
            _webCanvasLost(number);
        });
        canvas.addEventListener('webglcontextrestored', function() { _webCanvasRestored(number); });
        webDesktop.element.append(canvas);
        document.title = UTF8ToString(title);
    },

    // The drawing buffer has the window's size; CSS pixels are that over the pixel ratio.
    webPlaceCanvas__deps: ['$webFitDesktop'],
    webPlaceCanvas: function(id, x, y, width, height, pixelRatio) {
        var canvas = document.getElementById(UTF8ToString(id));
        canvas.style.left = (x / pixelRatio) + 'px';
        canvas.style.top = (y / pixelRatio) + 'px';
        canvas.style.width = (width / pixelRatio) + 'px';
        canvas.style.height = (height / pixelRatio) + 'px';
        if (canvas.width !== width) canvas.width = width;
        if (canvas.height !== height) canvas.height = height;
        webFitDesktop();
    },

    webShowCanvas__deps: ['$webFitDesktop'],
    webShowCanvas: function(id, shown) {
        document.getElementById(UTF8ToString(id)).style.display = shown ? 'block' : 'none';
        webFitDesktop();
    },

    webRemoveCanvas__deps: ['$webFitDesktop'],
    webRemoveCanvas: function(id) {
        var canvas = document.getElementById(UTF8ToString(id));
        if (canvas) canvas.remove();
        webFitDesktop();
    },

    // Later elements of the page are drawn over earlier ones.
    webRaiseCanvas: function(id) {
        var canvas = document.getElementById(UTF8ToString(id));
        canvas.parentElement.append(canvas);
    },

    webViewportWidth: function() { return window.innerWidth; },
    webViewportHeight: function() { return window.innerHeight; },
    webCanvasLeft: function(
        id) { return document.getElementById(UTF8ToString(id)).getBoundingClientRect().left; },
    webCanvasTop: function(
        id) { return document.getElementById(UTF8ToString(id)).getBoundingClientRect().top; },
    webDesktopScale__deps: ['$webDesktop'],
    webDesktopScale: function() { return webDesktop.scale; },

    // Touch and pen go to webPointerInput (a mouse is listened to through html5.h); a contact the
    // program takes keeps coming to its canvas and does nothing else on the page. The key buttons
    // press their keys (webPressKey). Until webStopPageInput, when the program has ended.
    $webPageInput: {stop: null},
    webListenToPage__deps: ['$webPageInput', 'webPointerInput', 'webPressKey'],
    webListenToPage: function() {
        webPageInput.stop = new AbortController();
        var phases = {pointerdown: 0, pointermove: 1, pointerup: 2, pointercancel: 3};
        var give = function(event) {
            if (event.pointerType === 'mouse') return;
            var taken = _webPointerInput(phases[event.type], event.pointerId, event.clientX, event.clientY);
            if (!taken || event.type !== 'pointerdown') return;
            event.preventDefault();
            if (event.target.setPointerCapture) event.target.setPointerCapture(event.pointerId);
        };
        var options = {signal: webPageInput.stop.signal};
        for (var type in phases) window.addEventListener(type, give, options);
        // A finger or pen presses a key button as it touches it, as a key acts when it goes down: the
        // click that follows a touch is not sure to come (Chromium drops one now and then when a drag
        // on the canvas went before), so a touch makes none. A mouse and the keyboard press by click.
        var press = function(event) { _webPressKey(Number(event.currentTarget.dataset.key)); };
        for (var button of document.querySelectorAll('button[data-key]')) {
            button.addEventListener('pointerdown', function(event) {
                if (event.pointerType !== 'mouse') press(event);
            }, options);
            // For good: a touch that ends the program must not click what the page shows there then.
            button.addEventListener('touchend', function(event) { event.preventDefault(); });
            button.addEventListener('click', press, options);
        }
    },
    webStopPageInput__deps: ['$webPageInput'],
    webStopPageInput: function() {
        if (webPageInput.stop) webPageInput.stop.abort();
    },

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
