// The web build as a person meets it, in headless Chromium or in Firefox ESR (WEB_BROWSER=firefox): what
// each test checks, its name says; the pictures are Mesa's for the same input, and no page has a script
// error. Screenshots land in WEB_OUTPUT_DIR.
// Environment: HELICOID_WEB_DIR (the web build), REFERENCE_PICTURE (Mesa's picture tool), WEB_OUTPUT_DIR.
import {test, after} from 'node:test';
import assert from 'node:assert/strict';
import {execFileSync} from 'node:child_process';
import fs from 'node:fs';
import {createRequire} from 'node:module';
import {PNG} from 'pngjs';
import {serve, launch, openPage, startViewer, firefox} from './browser.mjs';

const server = await serve(process.env.HELICOID_WEB_DIR);
after(() => server.close());
const shots = process.env.WEB_OUTPUT_DIR;
fs.mkdirSync(shots, {recursive: true});

const status = page => page.$eval('#status', p => p.textContent);
// The box on the page: its caption and its text.
const boxTexts = page => page.$$eval('dialog h1, dialog p', texts => texts.map(t => t.textContent));
const endedWith = code => `The program ended with exit code ${code}. Start it again`;
// n animation frames, after which input's frames are drawn; gives [frames the page asked for, frames drawn].
const frames = (page, n = 3) => page.evaluate(
    n => new Promise(done => {
        const ask = requestAnimationFrame, clear = WebGL2RenderingContext.prototype.clear, seen = [0, 0];
        window.requestAnimationFrame = callback => (++seen[0], ask(callback));
        WebGL2RenderingContext.prototype.clear = function(mask) { ++seen[1], clear.call(this, mask); };
        (function next(left) { left ? ask(() => next(left - 1)) : done(seen); })(n);
    }),
    n);
const pixels = page => page.evaluate(() => document.querySelector('canvas').toDataURL());
// The window's drawing buffer (width, height), then its box on the page (left, top, width, height).
const canvasBox = page => page.$eval('canvas', c => {
    const r = c.getBoundingClientRect();
    return [c.width, c.height, r.left, r.top, r.width, r.height];
});
// Whether every element the selector finds lies wholly in the viewport.
const inView = (page, selector) => page.$$eval(selector, all => all.length > 0 && all.every(e => {
    const r = e.getBoundingClientRect();
    return r.left >= 0 && r.top >= 0 && r.right <= innerWidth + 1e-3 && r.bottom <= innerHeight + 1e-3;
}));
// A desktop browser's window made another size (puppeteer's setViewport would take Chromium's mouse away).
const resize = async (page, width, height, deviceScaleFactor) => {
    const metrics = {width, height, deviceScaleFactor, mobile: false};
    const cdp = firefox ? null : await page.createCDPSession();
    await (cdp ? cdp.send('Emulation.setDeviceMetricsOverride', metrics) : page.setViewport(metrics));
    await frames(page);
};
// The rules axe-core finds broken on the page as it is now.
const axePath = createRequire(import.meta.url).resolve('axe-core/axe.min.js');
const axeFindings = async page => {
    await page.addScriptTag({path: axePath});
    return page.evaluate(async () => (await axe.run()).violations.map(v => `${v.id}: ${v.nodes[0].html}`));
};
// A phone held upright (390 × 844 CSS pixels, pixel ratio 3), and on its side.
const onPhone = (width, height) =>
    ({width, height, deviceScaleFactor: 3, isMobile: true, hasTouch: true, isLandscape: width > height});
const phone = onPhone(390, 844), sideways = onPhone(844, 390);

// How far apart two decoded pictures are: the mean absolute difference of the channels in levels,
// and the share of pixels with a channel more than 16 levels off. With `nearby`, each pixel is
// judged against the closest of the other picture's pixels within one pixel, both ways, so that a
// line drawn a pixel from where the other draws it is the same line.
function compare(a, b, nearby) {
    const {width, height} = a, reach = nearby ? 1 : 0, total = d => d[0] + d[1] + d[2];
    let sum = 0, off = 0;
    for (const [p, q] of [[a, b], [b, a]])
        for (let y = 0; y < height; ++y)
            for (let x = 0; x < width; ++x) {
                let best = null;
                for (let v = Math.max(y - reach, 0); v <= Math.min(y + reach, height - 1); ++v)
                    for (let u = Math.max(x - reach, 0); u <= Math.min(x + reach, width - 1); ++u) {
                        const i = (y * width + x) * 4, j = (v * width + u) * 4;
                        const d = [0, 1, 2].map(c => Math.abs(p.data[i + c] - q.data[j + c]));
                        if (!best || total(d) < total(best)) best = d;
                    }
                sum += total(best);
                off += Math.max(...best) > 16;
            }
    return {mean: sum / (6 * width * height), share: off / (2 * width * height), width};
}

// Mesa's picture after the same steps (f, p, press:X,Y, drag:X,Y) in a window of `side` pixels:
// at most `mean` levels apart on average and 3 % of pixels off. Filled pictures agree to within a
// twentieth of a level here, so they are held to 0.3: faults that stay under 2 levels (GL_EXP
// fog instead of GL_EXP2, the two copies of a surface speckling into each other) then show.
async function expectLooksLikeMesa(page, side, name, steps, {nearby = false, mean = 0.3} = {}) {
    const png = `${shots}/${name}-mesa.png`;
    execFileSync(process.env.REFERENCE_PICTURE, [png, String(side), ...steps]);
    await (await page.$('canvas')).screenshot({path: `${shots}/${name}-page.png`});
    const canvas = Buffer.from((await pixels(page)).split(',')[1], 'base64');
    const seen = compare(PNG.sync.read(canvas), PNG.sync.read(fs.readFileSync(png)), nearby);
    assert.equal(seen.width, side, `${name}: the canvas's size`);
    console.log(`${name}: ${seen.mean.toFixed(3)} levels on average, ${(100 * seen.share).toFixed(3)} % off`);
    assert.ok(seen.mean <= mean && seen.share <= 0.03, `${name}: ${JSON.stringify(seen)} from Mesa's`);
}

// Presses at the first of `points` (page pixels) with the mouse or a finger and drags through the
// rest; the picture must be Mesa's for the same points in the window's own pixels.
async function dragLooksLikeMesa(page, name, points, finger) {
    const [side, , left, top, width] = await canvasBox(page);
    const at = (v, origin) => Math.floor(((v - origin) * side) / width);
    const steps = points.map(([x, y], i) => `${i ? 'drag' : 'press'}:${at(x, left)},${at(y, top)}`);
    const press = finger ? (x, y) => page.touchscreen.touchStart(x, y) :
                           async (x, y) => (await page.mouse.move(x, y), page.mouse.down());
    for (const [i, [x, y]] of points.entries()) {
        await (i ? (finger ? page.touchscreen.touchMove(x, y) : page.mouse.move(x, y)) : press(x, y));
        await frames(page);
    }
    await expectLooksLikeMesa(page, side, name, steps);
}

// Runs `body` on the page (served, or at options.url) in a browser of its own; the page must end with
// no errors but the `failed` request's.
async function onPage(options, body) {
    const browser = await launch(options);
    try {
        const page = await openPage(browser, options.url ?? server.url, options.viewport, options);
        await body(page);
        const failed = /^Failed to load resource: (net::ERR_CONNECTION_REFUSED|.* 404 )/;
        assert.deepEqual(page.errors.filter(e => !(options.failed && failed.test(e))), []);
    } finally {
        await browser.close();
    }
}

for (const pixelRatio of [1, 2]) {
    test(
        `the notice first (Esc or OK dismisses it), then the window in its place at a pixel ratio of ${
            pixelRatio}`,
        () => onPage({pixelRatio}, async page => {
            assert.deepEqual(await boxTexts(page), [
                'soft by Tesmoral - helicoid@example.com ',
                ' mouse: touch the window image for movement----- '
            ]);
            await frames(page, 10);
            assert.equal(await page.$('canvas'), null, 'a window before the notice is dismissed');
            await startViewer(
                page, () => (pixelRatio === 1 ? page.keyboard.press('Escape') : page.click('dialog button')));
            // 80 % of the viewport's height in device pixels, square, at (50, 50) device pixels, with a
            // device pixel behind each pixel drawn.
            const side = Math.trunc(768 * pixelRatio * 0.8);
            const box = await canvasBox(page);
            assert.deepEqual(
                box, [side, side, 50 / pixelRatio, 50 / pixelRatio, side / pixelRatio, side / pixelRatio]);
            assert.equal(await page.$eval('title', t => t.textContent), ' soft by Tesmoral');
            assert.equal(
                await page.$eval('#keys', k => getComputedStyle(k).display), 'none', 'keys with a mouse');
            // A drag turns the model as far at any pixel ratio: the window's points are device pixels.
            await dragLooksLikeMesa(page, `dragged-${pixelRatio}`, [[300, 300], [220, 140], [420, 260]]);
            await page.mouse.up();
            // A smaller browser window shows all of the window, shrunk in place; as it was once there is
            // room.
            await resize(page, 800, 600, pixelRatio);
            assert.ok(await inView(page, 'canvas'), 'the window in a smaller browser window');
            assert.deepEqual((await canvasBox(page)).slice(0, 2), [side, side], 'its drawing buffer');
            await resize(page, 1024, 768, pixelRatio);
            assert.deepEqual(await canvasBox(page), box);
        }));
}

test(
    'the pictures are Mesa\'s; a drag turns the model, a moving release spins it, a click stops it, Esc ends it',
    () => onPage({}, async page => {
        await startViewer(page);
        const side = 614, centre = side / 2;
        const key = async k => (await page.keyboard.press(k), frames(page));
        // Window points are the page's less the window's place.
        const move = async (x, y) => (await page.mouse.move(x + 50, y + 50), frames(page));
        await expectLooksLikeMesa(page, side, 'rest', []);
        const rest = await pixels(page);
        for (const [k, name, options] of [['f', 'fog', {}], ['p', 'outlines', {nearby: true, mean: 2}]]) {
            await key(k);
            await expectLooksLikeMesa(page, side, name, [k], options);
            await key(k);
            assert.equal(await pixels(page), rest, `${k} twice`);
        }
        for (const modifier of ['Control', 'Alt', 'Meta']) {
            await page.keyboard.down(modifier);
            await key('f');
            await page.keyboard.up(modifier);
            assert.equal(await pixels(page), rest, `${modifier}+f is the browser's, not the program's`);
        }

        // A press at rest draws one frame with the start step; each move then one with its own step: page
        // points from the window's middle out above and left of it (negative window points), right of it
        // and below it, where the back side comes into view.
        const middle = centre + 50;
        await dragLooksLikeMesa(
            page, 'back', [[middle, middle], [10, 20], [side + 110, middle], [middle, side + 110]]);

        await move(centre + 100, centre + 40);
        await page.mouse.up();
        const released = await pixels(page);
        assert.deepEqual(await frames(page), [3, 3], 'spinning, a frame drawn per animation frame asked for');
        assert.notEqual(await pixels(page), released, 'a moving release leaves the model spinning');
        await page.mouse.down();
        await page.mouse.up();
        await frames(page);
        assert.deepEqual(await frames(page, 10), [0, 0], 'a click stops it: no animation frame asked for');

        await page.keyboard.press('Escape');
        await page.waitForFunction(() => document.querySelector('canvas') === null);
        assert.equal(await status(page), endedWith(0));
    }));

test(
    'on a phone: the notice and the window fit either way up, a finger turns, flicks and stops the model, the buttons press the keys',
    {skip: firefox && 'puppeteer emulates a phone (touch, no hover) over CDP only, not over WebDriver BiDi'},
    () => onPage({viewport: phone}, async page => {
        for (const viewport of [sideways, phone]) {
            await page.setViewport(viewport);
            // Laid out at the phone's width, not zoomed out: text and OK as large as a phone needs.
            const [laidOut, text, width, height] = await page.$eval('dialog', box => {
                const r = box.querySelector('button').getBoundingClientRect();
                const texts = [...box.querySelectorAll('h1, p')];
                const size = Math.min(...texts.map(t => parseFloat(getComputedStyle(t).fontSize)));
                return [innerWidth, size, r.width, r.height];
            });
            assert.equal(laidOut, viewport.width);
            assert.ok(
                text >= 16 && width >= 44 && height >= 44,
                `the notice's text and OK: ${[text, width, height]}`);
            assert.ok(await inView(page, 'dialog'), 'the notice in view');
        }
        assert.deepEqual(await axeFindings(page), [], 'at the notice');
        await startViewer(page, () => page.tap('dialog button'));
        assert.ok(await inView(page, 'canvas, #keys button'), 'the window and the keys in view');
        assert.deepEqual(await axeFindings(page), [], 'with the model shown');

        await dragLooksLikeMesa(page, 'finger', [[200, 200], [120, 90], [330, 150]], true);
        await page.touchscreen.touchEnd();
        const flicked = await pixels(page);
        await frames(page);
        assert.notEqual(await pixels(page), flicked, 'a flick leaves the model spinning');
        // A tap, with a fingertip's wobble, stops it; the phone turned and back, it is as it was.
        await page.touchscreen.touchStart(200, 200);
        await page.touchscreen.touchMove(204, 203);
        await page.touchscreen.touchEnd();
        const stopped = (await frames(page), await pixels(page));
        for (const viewport of [sideways, phone]) {
            await page.setViewport(viewport);
            await frames(page, 10);
            assert.ok(
                await inView(page, 'canvas, #keys button'),
                `in view at ${viewport.width}×${viewport.height}`);
            assert.equal(await pixels(page), stopped, `still at ${viewport.width}×${viewport.height}`);
        }

        // A button pressed once by a tap, and by a touch alone: the click after a touch may never come.
        const touch = b =>
            b.evaluate(b => b.dispatchEvent(new PointerEvent('pointerdown', {pointerType: 'touch'})));
        for (const [virtualKey, key, press] of [[70, 'f', b => b.tap()], [80, 'p', touch]]) {
            await press(await page.$(`[data-key="${virtualKey}"]`));
            await frames(page);
            assert.notEqual(await pixels(page), stopped, `the button of ${key}`);
            await page.keyboard.press(key);
            await frames(page);
            assert.equal(await pixels(page), stopped, `${key} undoes its button`);
        }
        await page.tap('[data-key="27"]');
        await page.waitForFunction(() => document.querySelector('canvas') === null);
        assert.equal(await status(page), endedWith(0));
        assert.deepEqual(await axeFindings(page), [], 'after the end');
    }));

test(
    'without WebGL 2 the program\'s own error box comes, and it ends with 1',
    () => onPage({args: ['--disable-webgl2'], prefs: {'webgl.enable-webgl2': false}}, async page => {
        await page.keyboard.press('Enter');
        await page.waitForFunction(() => document.querySelector('dialog h1')?.textContent === 'Error');
        assert.deepEqual(await boxTexts(page), ['Error', 'ChoosePixelFormat failed\n']);
        assert.equal(await page.$('canvas'), null, 'a window behind the box');
        await page.keyboard.press('Escape');
        await page.waitForFunction(() => document.getElementById('status').textContent.includes('ended'));
        assert.match(
            await status(page), /code 1\. This browser gives it no WebGL 2: turn on .* Start it again$/);
    }));

// On a slow connection (1.6 Mbit/s, 150 ms), the .wasm refused, missing or damaged, or no WebAssembly (null):
// one sentence with what to try (the request's own console error aside); answered, how far it is.
for (const [i, [answer, text]] of [
         [r => r.abort('connectionrefused'), /\(no answer for helicoid.wasm\): check the connection, then/],
         [r => r.respond({status: 404}), /^The program could not be downloaded \(.* answered 404\): check/],
         [r => r.respond({body: 'not WebAssembly'}), /^The program arrived damaged \(.*\): to download it/],
         [r => r.continue(), /^Loading…\s+[1-9][0-9]? %$/],
         [null, /^This browser cannot run WebAssembly, /]]
         .entries()) {
    const before = async page => {
        if (!answer) return page.evaluateOnNewDocument(() => delete window.WebAssembly);
        if (!firefox) await page.emulateNetworkConditions({download: 2e5, upload: 2e5, latency: 150});
        await page.setRequestInterception(true);
        page.on('request', r => (r.url().endsWith('.wasm') ? answer(r) : r.continue()));
    };
    const says = async page => {
        const shown = source => new RegExp(source).test(document.getElementById('status').textContent);
        await page.waitForFunction(shown, {}, text.source);
        await page.screenshot({path: `${shots}/download-${i}.png`});
        if (i !== 3) assert.match(await status(page), / reload the page\.$/);
    };
    const skip = firefox && i === 3 && 'puppeteer slows a connection over CDP only, not over WebDriver BiDi';
    test(`the download: ${text}`, {skip}, () => onPage({before, until: '#status', failed: true}, says));
}

// The window's context lost or restored by WEBGL_lose_context; once the page hears.
const context = (page, event) => page.evaluate(async event => {
    const canvas = document.querySelector('canvas');
    window.loser ??= canvas.getContext('webgl2').getExtension('WEBGL_lose_context');
    const heard = new Promise(done => canvas.addEventListener(`webglcontext${event}`, done));
    window.loser[event === 'lost' ? 'loseContext' : 'restoreContext']();
    await heard;
}, event);
// WebGL objects (buffers, vertex arrays, programs) the page made and has not deleted (live), and had not
// when a lost context was restored (kept, added up); the clears since the last restore.
const countObjects = page => page.evaluateOnNewDocument(() => {
    const prototype = WebGL2RenderingContext.prototype, clear = prototype.clear,
          counts = window.webglObjects = {live: 0, kept: 0, clears: 0};
    prototype.clear = function(mask) { return ++counts.clears, clear.call(this, mask); };
    for (const kind of ['Buffer', 'VertexArray', 'Program']) {
        const make = prototype[`create${kind}`], remove = prototype[`delete${kind}`];
        prototype[`create${kind}`] = function(...args) { return ++counts.live, make.apply(this, args); };
        prototype[`delete${kind}`] = function(object) { return --counts.live, remove.call(this, object); };
    }
    addEventListener('webglcontextrestored', () => ((counts.kept += counts.live), (counts.clears = 0)), true);
});
const fromDisk = `file://${process.env.HELICOID_WEB_DIR}/index.html`;
test(
    'opened from disk; a lost context comes back as it was; no WebGL object outlives its context',
    () => onPage({url: fromDisk, before: countObjects}, async page => {
        // A click stops it (it starts animating), so only a repaint draws after a restore; the frame drawn
        // while pressed turns it by the start step, so Mesa's pictures end with the press.
        await startViewer(page);
        await (await page.mouse.move(300, 300), page.mouse.down());
        await (await frames(page), page.mouse.up());
        // Keys before, keys while lost, losses in a row; the picture is then Mesa's for all the keys.
        for (const [name, keys, lostKeys, times, options] of [
                 ['fog', ['f'], [], 1], ['outlines', ['p'], [], 1, {nearby: true, mean: 2}],
                 ['twice', [], [], 2], ['fog-while-lost', [], ['f'], 1]]) {
            for (const k of keys) await page.keyboard.press(k);
            for (let i = 0; i < times; ++i) {
                await context(page, 'lost');
                for (const k of lostKeys) await (await page.keyboard.press(k), frames(page));
                await context(page, 'restored');
            }
            // The browser shows the picture of before until the program draws: it must draw.
            await frames(page);
            assert.ok(await page.evaluate(() => webglObjects.clears > 0), `${name}: no repaint`);
            await expectLooksLikeMesa(
                page, 614, `restored-${name}`, [...keys, ...lostKeys, 'press:250,250'], options);
            // Drawn before the next loss, so that only the repaint draws after it.
            for (const k of [...keys, ...lostKeys]) await (await page.keyboard.press(k), frames(page));
        }
        // A spin goes on through a loss.
        await (await page.mouse.move(300, 300), page.mouse.down());
        await (await page.mouse.move(400, 380), frames(page));
        await (await page.mouse.up(), context(page, 'lost'));
        await context(page, 'restored');
        const restored = (await frames(page), await pixels(page));
        assert.notEqual((await frames(page), await pixels(page)), restored, 'a spin goes on');
        // Nothing made in a lost context is kept, nor anything once the program has ended.
        await page.keyboard.press('Escape');
        await page.waitForFunction(() => !document.querySelector('canvas'));
        assert.deepEqual(await page.evaluate(() => [webglObjects.kept, webglObjects.live]), [0, 0]);
    }));
