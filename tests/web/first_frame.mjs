// Saves the viewer's first frame, after the notice is dismissed, as a PNG.
// Usage: node first_frame.mjs URL PNG
import {launch, openPage, startViewer} from './browser.mjs';

const [url, png] = process.argv.slice(2);
const browser = await launch();
try {
  const page = await openPage(browser, url);
  await startViewer(page);
  await (await page.$('canvas')).screenshot({path: png});
} finally {
  await browser.close();
}
