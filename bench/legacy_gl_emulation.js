// Lets Emscripten's legacy GL emulation answer the program's OpenGL 1.1 calls in the contexts the
// backend makes. The emulation sets itself up when a context is made through Emscripten's Browser
// object (SDL, GLFW); ours are made through html5.h, so it is set up here the first time one
// becomes current. It has no back material and no glLightModeli or glMaterialf, which the
// program calls: those are given here, the back material as a no-op.
mergeInto(LibraryManager.library, {
    $webLegacyGl__deps: ['$Browser', '$GLImmediate', 'emscripten_webgl_make_context_current', 'glMaterialfv'],
    $webLegacyGl__postset: 'var webMakeCurrent = _emscripten_webgl_make_context_current;' +
        '_emscripten_webgl_make_context_current = function(handle) {' +
        '  var result = webMakeCurrent(handle);' +
        '  if (handle && !webLegacyGl.ready) {' +
        '    webLegacyGl.ready = true;' +
        '    Module.useWebGL = true;' +
        '    Browser.moduleContextCreatedCallbacks.forEach(function(callback) { callback(); });' +
        '  }' +
        '  return result;' +
        '};' +
        'var webFrontMaterial = _glMaterialfv;' +
        '_glMaterialfv = function(face, name, values) {' +
        '  if (face != webLegacyGl.back) webFrontMaterial(face, name, values);' +
        '};',
    $webLegacyGl: {ready: false, back: 0x0405},

    glLightModeli__deps: ['$webLegacyGl', 'glLightModelf'],
    glLightModeli: function(name, value) { _glLightModelf(name, value); },

    // The backend's call before it destroys a context: the emulation has nothing of its own to
    // let go of there.
    webglReleaseContext: function(context) {},

    glMaterialf__deps: ['$webLegacyGl', '$GLEmulation'],
    glMaterialf: function(face, name, value) {
        if (face != webLegacyGl.back && name == 0x1601)
            GLEmulation.materialShininess[0] = value;  // GL_SHININESS
    },
});
