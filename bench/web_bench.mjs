// The web page in headless Chromium (WebGL 2 by SwiftShader, on the CPU): the product against the
// same program on Emscripten's legacy GL emulation, in paired rounds, each run in a fresh browser.
// Per run: navigation to the notice, its dismissal to the first frame, frames per second while the
// viewer rests and the CPU of Chromium's processes then, and the CPU once a click has stopped the
// model; then a second run with Chromium pinned to one core, for the frames. Then the size of
// the files a visitor downloads. Writes a Markdown report.
// Usage: node bench/web_bench.mjs TREE REPORT.md
//   TREE: the benchmark's web build tree (the product's page at its top, the emulated one in bench/)
// Environment: ROUNDS (5), WARMUP (3 s), MEASURE (10 s), IDLE (10 s), READ (1 s: the notice on
//   screen before Return).
import {execFileSync} from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';
import zlib from 'node:zlib';
import {serve, launch, pause} from '../tests/web/browser.mjs';

const [tree, report] = process.argv.slice(2);
const setting = (name, fallback) => Number(process.env[name] || fallback);
const rounds = setting('ROUNDS', 5);
const warmup = setting('WARMUP', 3) * 1000;
const measure = setting('MEASURE', 10) * 1000;
const idle = setting('IDLE', 10) * 1000;
const read = setting('READ', 1) * 1000;

const subjects = [
    {name: 'ours', title: 'ours (OpenGL subset over WebGL 2)', folder: '', program: 'helicoid'},
    {
        name: 'emulated',
        title: 'Emscripten\'s legacy GL emulation',
        folder: 'bench/',
        program: 'helicoid_emulated'
    },
];

// Runs in the page before its scripts. Times on the page's clock (performance.now(), from the
// navigation's start): the notice opened, the Return that dismisses it, the first draw call after
// that and the next animation frame, when that frame goes to the compositor. Frames: draw calls
// are grouped by the animation frame whose callback made them (callbacks of one frame share its
// timestamp); the viewer's swap waits for the next animation frame, so each group is one frame
// of the program's.
function instrument() {
    const seen = {noticeAt: null, dismissedAt: null, firstDrawAt: null, firstFrameAt: null, frames: 0};
    window.benchSeen = seen;
    let frameTime = null, countedFor;
    const requestFrame = window.requestAnimationFrame.bind(window);
    window.requestAnimationFrame = callback => requestFrame(time => {
        frameTime = time;
        if (seen.firstDrawAt !== null && seen.firstFrameAt === null) seen.firstFrameAt = performance.now();
        callback(time);
    });
    const openModal = HTMLDialogElement.prototype.showModal;
    HTMLDialogElement.prototype.showModal = function() {
        openModal.call(this);
        if (seen.noticeAt === null) seen.noticeAt = performance.now();
    };
    window.addEventListener('keydown', event => {
        if (event.key === 'Enter' && seen.dismissedAt === null && document.querySelector('dialog[open]'))
            seen.dismissedAt = performance.now();
    }, true);
    for (const context of [WebGLRenderingContext, WebGL2RenderingContext])
        for (const name of ['drawArrays', 'drawElements', 'drawRangeElements']) {
            const draw = context.prototype[name];
            if (!draw) continue;
            context.prototype[name] = function(...args) {
                if (seen.dismissedAt !== null && seen.firstDrawAt === null)
                    seen.firstDrawAt = performance.now();
                if (countedFor !== frameTime || frameTime === null) {
                    countedFor = frameTime;
                    ++seen.frames;
                }
                return draw.apply(this, args);
            };
        }
}

// CPU seconds so far of Chromium's processes by type (browser, renderer, GPU, ...): the time
// each thread has run, from /proc in nanoseconds (DevTools gives it in 10 ms ticks).
async function cpuTimes(session) {
    const {processInfo} = await session.send('SystemInfo.getProcessInfo');
    const ran = pid => {
        try {
            return fs.readdirSync(`/proc/${pid}/task`).reduce((sum, thread) => {
                try {
                    return sum +
                        Number(
                            fs.readFileSync(`/proc/${pid}/task/${thread}/schedstat`, 'utf8').split(' ')[0]) /
                        1e9;
                } catch {
                    return sum;  // a thread that has just ended
                }
            }, 0);
        } catch {
            return null;
        }
    };
    const byType = {all: 0};
    for (const {type, id, cpuTime} of processInfo) {
        const seconds = ran(id) ?? cpuTime;
        byType[type] = (byType[type] || 0) + seconds;
        byType.all += seconds;
    }
    return byType;
}

// Percent of a core for each kind of process between two readings over `ms`.
const cpuShare = (before, after, ms) => Object.fromEntries(['renderer', 'GPU', 'all'].map(type => {
    const seconds = (after[type] || 0) - (before[type] || 0);
    return [type, (100 * seconds) / (ms / 1000)];
}));

// Frames counted on the page and its clock, over `ms` of wall time.
async function framesOver(page, ms) {
    const sample = () => page.evaluate(() => ({frames: window.benchSeen.frames, at: performance.now()}));
    const start = await sample();
    await pause(ms);
    const end = await sample();
    return {frames: end.frames - start.frames, seconds: (end.at - start.at) / 1000};
}

// Pins every thread of Chromium's processes to the given cores; the processes and threads made
// later inherit them. Here both programs reach the display's 60 frames a second on two cores,
// where the rate tells nothing more; on one core neither does, and the rate shows how much work a
// frame is.
async function pin(session, cores) {
    const {processInfo} = await session.send('SystemInfo.getProcessInfo');
    for (const {id} of processInfo)
        execFileSync('taskset', ['-a', '-p', '-c', cores, String(id)], {stdio: 'ignore'});
}

// Frames per second and the CPU shares over `measure`.
async function drawingOver(page, session) {
    const before = await cpuTimes(session);
    const drawing = await framesOver(page, measure);
    return {
        fps: drawing.frames / drawing.seconds,
        share: cpuShare(before, await cpuTimes(session), drawing.seconds * 1000)
    };
}

// One run; with `oneCore`, Chromium pinned to one core from its start, and only the frames.
async function run(server, subject, {oneCore = false} = {}) {
    const browser = await launch();
    try {
        const session = await browser.target().createCDPSession();
        if (oneCore) await pin(session, '0');
        const page = await browser.newPage();
        const errors = [];
        page.on('pageerror', error => errors.push(error.message));
        await page.evaluateOnNewDocument(instrument);
        await page.goto(server.url + subject.folder);
        await page.waitForFunction(() => window.benchSeen.noticeAt !== null, {polling: 'mutation'});
        await pause(read);
        await page.keyboard.press('Enter');
        await page.waitForFunction(() => window.benchSeen.firstFrameAt !== null);
        const side = await page.$eval('canvas', canvas => [canvas.width, canvas.height].join('x'));

        await pause(warmup);
        const cores = await drawingOver(page, session);
        if (oneCore) return {oneCore: cores};

        // A press and a release at one point stop the model; after a second the last frame is out.
        const box = await (await page.$('canvas')).boundingBox();
        await page.mouse.click(box.x + box.width / 2, box.y + box.height / 2);
        await pause(1000);
        const stoppedCpu = await cpuTimes(session);
        const stopped = await framesOver(page, idle);
        const stoppedShare = cpuShare(stoppedCpu, await cpuTimes(session), stopped.seconds * 1000);

        const seen = await page.evaluate(() => window.benchSeen);
        if (errors.length) throw new Error(`${subject.name}: script errors: ${errors.join('; ')}`);
        return {
            side,
            cores,
            notice: seen.noticeAt,
            firstDraw: seen.firstDrawAt - seen.dismissedAt,
            firstFrame: seen.firstFrameAt - seen.dismissedAt,
            stoppedShare,
            stoppedFrames: stopped.frames,
        };
    } finally {
        await browser.close();
    }
}

// The same CPU readings for an empty page, over the same time: what Chromium takes by itself.
async function emptyPage() {
    const browser = await launch();
    try {
        const session = await browser.target().createCDPSession();
        const page = await browser.newPage();
        await page.goto('data:text/html,<title>empty</title>');
        await pause(1000);
        const before = await cpuTimes(session);
        const start = Date.now();
        await pause(idle);
        return cpuShare(before, await cpuTimes(session), Date.now() - start);
    } finally {
        await browser.close();
    }
}

const median = values => {
    const sorted = [...values].sort((a, b) => a - b);
    const middle = sorted.length >> 1;
    return sorted.length % 2 ? sorted[middle] : (sorted[middle - 1] + sorted[middle]) / 2;
};
const fixed = (value, digits = 1) => value.toFixed(digits);
const kib = bytes => `${(bytes / 1024).toFixed(1)} KiB`;

function sizes(subject) {
    const folder = path.join(tree, subject.folder);
    const files = ['index.html', `${subject.program}.js`, `${subject.program}.wasm`, 'favicon.png'];
    const rows = files.map(file => {
        const data = fs.readFileSync(path.join(folder, file));
        return {
            file,
            plain: data.length,
            gzip: zlib.gzipSync(data, {level: 9}).length,
            brotli:
                zlib.brotliCompressSync(data, {params: {[zlib.constants.BROTLI_PARAM_QUALITY]: 11}}).length,
        };
    });
    const total = {file: 'total', plain: 0, gzip: 0, brotli: 0};
    for (const row of rows)
        for (const key of ['plain', 'gzip', 'brotli']) total[key] += row[key];
    return [...rows, total];
}

const server = await serve(tree);
const runs = {
    ours: [],
    emulated: []
};
let version;
try {
    version = await (async () => {
        const browser = await launch();
        try {
            return await browser.version();
        } finally {
            await browser.close();
        }
    })();
    for (let round = 0; round < rounds; ++round) {
        // Alternate which program goes first, so that neither always runs on a machine just warmed.
        const order = round % 2 ? [...subjects].reverse() : subjects;
        for (const subject of order) {
            const result = {...await run(server, subject), ...await run(server, subject, {oneCore: true})};
            runs[subject.name].push(result);
            console.error(
                `round ${round + 1} ${subject.name}: ${fixed(result.cores.fps)} fps,` +
                ` ${fixed(result.oneCore.fps)} on one core,` +
                ` notice at ${fixed(result.notice, 0)} ms, first frame ${
                    fixed(result.firstFrame, 0)} ms after Return,` +
                ` stopped ${fixed(result.stoppedShare.all, 2)} % of a core`);
        }
    }
    runs.empty = await emptyPage();
} finally {
    server.close();
}

// All of Chromium's CPU time a frame: less bound to the machine's other load than the rate.
const perFrame = drawing => (drawing.share.all * 10) / drawing.fps;
const lines = [];
lines.push(
    `${version}, headless, WebGL 2 by SwiftShader (software, on the CPU);`,
    `viewport 1024x768 at pixel ratio 1, canvas ${runs.ours[0].side}; ${rounds} paired round${
        rounds > 1 ? 's' : ''},`,
    `each run in a fresh browser: Return ${read / 1000} s after the notice, frames over ${measure / 1000} s`,
    `after ${warmup / 1000} s, then a click and ${idle / 1000} s stopped; then a run pinned to one`,
    'core from its start, for its frames.', '');
// The frame rates of the rounds and their medians, on `cores` ('cores' or 'oneCore').
function frameRates(heading, cores) {
    const ratios = runs.ours.map((ours, i) => ours[cores].fps / runs.emulated[i][cores].fps);
    lines.push(`## ${heading}`, '');
    lines.push(
        '| round | first | ours | emulated | ours / emulated | CPU ms/frame ours, emulated |',
        '|---|---|---|---|---|---|');
    runs.ours.forEach((ours, i) => {
        const emulated = runs.emulated[i];
        lines.push(
            `| ${i + 1} | ${i % 2 ? 'emulated' : 'ours'} | ${fixed(ours[cores].fps)} |` +
            ` ${fixed(emulated[cores].fps)} | ${fixed(ratios[i], 2)} |` +
            ` ${fixed(perFrame(ours[cores]))}, ${fixed(perFrame(emulated[cores]))} |`);
    });
    const medianFps = name => fixed(median(runs[name].map(r => r[cores].fps)));
    lines.push(
        `| **median** | | **${medianFps('ours')}** | **${medianFps('emulated')}** | **${
            fixed(median(ratios), 2)}** | |`,
        '');
}
frameRates('Frames per second at rest', 'cores');
frameRates('Frames per second at rest, Chromium pinned to one core', 'oneCore');

lines.push('## Start-up, CPU (medians of the rounds)', '');
lines.push('| | ours | emulated |', '|---|---|---|');
const row = (label, pick, digits = 0, unit = '') => lines.push(
    `| ${label} | ` +
    subjects.map(subject => `${fixed(median(runs[subject.name].map(pick)), digits)}${unit}`).join(' | ') +
    ' |');
row('navigation to the notice', r => r.notice, 0, ' ms');
row('Return to the first draw call', r => r.firstDraw, 0, ' ms');
row('Return to the first frame (its animation frame)', r => r.firstFrame, 0, ' ms');
row('drawing: renderer process, % of a core', r => r.cores.share.renderer, 1);
row('drawing: GPU process (SwiftShader), % of a core', r => r.cores.share.GPU, 1);
row('drawing: all of Chromium, % of a core', r => r.cores.share.all, 1);
row('drawing: all of Chromium, CPU ms per frame', r => perFrame(r.cores), 1);
row('drawing on one core: all of Chromium, CPU ms per frame', r => perFrame(r.oneCore), 1);
row('stopped: renderer process, % of a core', r => r.stoppedShare.renderer, 2);
row('stopped: all of Chromium, % of a core', r => r.stoppedShare.all, 2);
lines.push(
    '| stopped: frames drawn, all rounds | ' +
    subjects.map(subject => runs[subject.name].reduce((sum, r) => sum + r.stoppedFrames, 0)).join(' | ') +
    ' |');
lines.push(
    '',
    `An empty page, ${idle / 1000} s in a fresh browser likewise:` +
        ` renderer ${fixed(runs.empty.renderer, 2)} %, all of Chromium ${
            fixed(runs.empty.all, 2)} % of a core.`,
    '');

lines.push('## What a visitor downloads', '');
lines.push('| file | plain | gzip -9 | brotli 11 |', '|---|---|---|---|');
for (const subject of subjects) {
    for (const size of sizes(subject)) {
        const name = size.file === 'total' ? `**${subject.name}: total**` : `${subject.folder}${size.file}`;
        lines.push(`| ${name} | ${kib(size.plain)} | ${kib(size.gzip)} | ${kib(size.brotli)} |`);
    }
}

fs.writeFileSync(report, lines.join('\n') + '\n');
