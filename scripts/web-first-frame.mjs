// Saves the viewer's first frame, after the notice is dismissed, as a PNG.
// Usage: node scripts/web-first-frame.mjs URL PNG (the browser driver and its npm modules live in tests/web)
import {launch, openPage, startViewer} from '../tests/web/browser.mjs';

const [url, png] = process.argv.slice(2);
const browser = await launch();
try {
    const page = await openPage(browser, url);
    await startViewer(page);
    await (await page.$('canvas')).screenshot({path: png});
} finally {
    await browser.close();
}
