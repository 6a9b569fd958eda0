// The web build in headless Chromium: the notice, the window in device pixels, a drag that leaves
// the window, Esc, and a browser without WebGL 2, each with no script error.
// Usage: node smoke.mjs BUILD_DIR (build/web); exits non-zero on the first failure.
import assert from 'node:assert/strict';
import {serve, launch, openPage, startViewer, pause} from './browser.mjs';

const server = await serve(process.argv[2] || 'build/web');

const statusText = page => page.evaluate(() => document.getElementById('status').textContent);
const frame = page => page.evaluate(() => document.querySelector('canvas').toDataURL());
const endedWith = code => `The program ended with exit code ${code}. Start it again`;

// The window is 80 % of the viewport's height in device pixels, at (50, 50) device pixels, and
// its canvas has a device pixel behind each drawn pixel.
async function checkWindow(page, pixelRatio) {
  const side = Math.trunc(768 * pixelRatio * 0.8);
  const canvas = await page.evaluate(() => {
    const c = document.querySelector('canvas');
    const box = c.getBoundingClientRect();
    return {width: c.width, height: c.height, left: box.left, top: box.top, cssWidth: box.width};
  });
  assert.deepEqual(canvas, {width: side, height: side, left: 50 / pixelRatio, top: 50 / pixelRatio,
    cssWidth: side / pixelRatio});
}

// A drag that leaves the window above and left and lets go out there leaves the model spinning;
// a click on the window stops it.
async function checkDragOutside(page) {
  await page.mouse.move(300, 300);
  await page.mouse.down();
  for (let step = 1; step <= 20; ++step) await page.mouse.move(300 - 15 * step, 300 - 15 * step);
  await page.mouse.up();
  const spinning = await frame(page);
  await pause(300);
  assert.notEqual(await frame(page), spinning, 'still after a drag released outside');
  await page.mouse.click(300, 300);
  await pause(300);
  const stopped = await frame(page);
  await pause(300);
  assert.equal(await frame(page), stopped, 'spinning after a click');
}

const cases = [
  {name: 'notice, window, drag, Esc', pixelRatio: 1, drag: true},
  {name: 'the same on a high-density display', pixelRatio: 2, drag: false},
  {name: 'no WebGL 2: the error box, exit code 1', pixelRatio: 1, args: ['--disable-webgl2']},
];

for (const {name, pixelRatio, drag, args} of cases) {
  const browser = await launch({pixelRatio, args});
  try {
    const page = await openPage(browser, server.url);
    assert.equal(await page.$('canvas'), null, `${name}: a window before the notice is dismissed`);
    if (args) {
      await page.keyboard.press('Enter');
      await page.waitForFunction(() => document.querySelector('dialog h1')?.textContent === 'Error');
      assert.equal(await page.$eval('dialog p', p => p.textContent), 'ChoosePixelFormat failed\n');
      await page.keyboard.press('Escape');
      await page.waitForFunction(() => document.getElementById('status').textContent.includes('ended'));
      assert.equal(await statusText(page), endedWith(1));
    } else {
      assert.match(await page.$eval('dialog p', p => p.textContent), /^ mouse: touch the window image/);
      await startViewer(page);
      await checkWindow(page, pixelRatio);
      if (drag) await checkDragOutside(page);
      await page.keyboard.press('Escape');
      await page.waitForFunction(() => document.querySelector('canvas') === null);
      assert.equal(await statusText(page), endedWith(0));
    }
    assert.deepEqual(page.errors, [], `${name}: script errors`);
    console.log(`ok: ${name}`);
  } finally {
    await browser.close();
  }
}
server.close();
