// Headless Chromium (with WebGL 2 in software) on the web build's page, served from its build tree:
// what the page tests, scripts/web-first-frame.mjs and the web benchmark share.
import {spawn} from 'node:child_process';
import puppeteer from 'puppeteer-core';

// Serves the files of `dir` on 127.0.0.1 at a free port with Python's http.server, the server
// scripts/run.sh web serves the page with; resolves to {url, close} once it listens.
export function serve(dir) {
    const server = spawn(
        'python3', ['-u', '-m', 'http.server', '0', '--bind', '127.0.0.1', '--directory', dir],
        {stdio: ['ignore', 'pipe', 'ignore']});
    return new Promise((resolve, reject) => {
        server.on('error', reject);
        server.stdout.once('data', line => resolve({
                                       url: `http://127.0.0.1:${String(line).match(/port (\d+)/)[1]}/`,
                                       close: () => server.kill(),
                                   }));
    });
}

// Which browser runs the page: WEB_BROWSER=firefox for Debian's Firefox ESR, driven over WebDriver
// BiDi and shown on the display in DISPLAY (headless, it has no WebGL here); else headless Chromium.
export const firefox = process.env.WEB_BROWSER === 'firefox';

// A desktop with a mouse: headless Chromium otherwise reports a pointer that cannot hover. A phone is
// emulated per page (openPage's viewport), which reports touch and no hover all the same.
export function launch({pixelRatio = 1, args = [], prefs} = {}) {
    const chromium = {
        executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
        headless: true,
        args: [
            '--use-gl=angle', '--use-angle=swiftshader', '--enable-unsafe-swiftshader', '--no-sandbox',
            '--blink-settings=primaryHoverType=2,availableHoverTypes=2,primaryPointerType=4,availablePointerTypes=4',
            ...args
        ],
    };
    const esr = {browser: 'firefox', executablePath: '/usr/bin/firefox-esr', headless: false};
    return puppeteer.launch({
        ...(firefox ? {...esr, extraPrefsFirefox: prefs} : chromium),
        defaultViewport: {width: 1024, height: 768, deviceScaleFactor: pixelRatio},
    });
}

// Opens the page (in `viewport` where given; after `before`, given the page, has run), and waits for
// `until` (the notice). Script errors, console errors and requests for anything not on our server (or in
// the page itself) are kept in page.errors: the page must have none.
export async function openPage(browser, url, viewport, {before, until = 'dialog'} = {}) {
    const page = await browser.newPage();
    if (viewport) await page.setViewport(viewport);
    page.errors = [];
    page.on('pageerror', error => page.errors.push(error.message));
    page.on('console', message => message.type() === 'error' && page.errors.push(message.text()));
    const ours = address => address.startsWith(new URL('.', url).href) || address.startsWith('data:');
    page.on('request', request => ours(request.url()) || page.errors.push(request.url()));
    if (before) await before(page);
    await page.goto(url);
    await page.waitForSelector(until);
    return page;
}

// Dismisses the notice (Return, unless told otherwise) and waits until the window shows a first
// frame.
export async function startViewer(page, dismiss = () => page.keyboard.press('Enter')) {
    await dismiss();
    await page.waitForSelector('canvas', {visible: true});
    await page.waitForFunction(() => document.querySelector('canvas').toDataURL().length > 10000);
}

export const pause = ms => new Promise(resolve => setTimeout(resolve, ms));
