// The web page in headless Chromium (WebGL 2 by SwiftShader, on the CPU) against its yardsticks: a
// bare WebGL 2 page of plain JavaScript doing the frame's unavoidable work (bench/bare/), and the
// same program on Emscripten's legacy GL emulation; in paired rounds, each run in a fresh browser.
// Per run: navigation to the notice, its dismissal to the first frame, frames per second while the
// viewer rests and per frame the CPU of the page's main thread (from /proc, and DevTools' thread
// time), of its scripts and of the GPU process, and the CPU once a click has stopped the model;
// then a second run with Chromium pinned to one core. Then the size of the files a visitor
// downloads. Writes a Markdown report. With PROFILE set, instead: one sampling profile of each
// page while it draws, and its top entries by self time.
// Usage: node bench/web_bench.mjs TREE REPORT.md
//   TREE: the benchmark's web build tree (the product's page at its top, the others in bench/)
// Environment: SUBJECTS (ours,bare; also emulated, and patched: the page of another web build, linked
//   as patched/ of the tree by bench/web.sh from WEB_PATCHED), ROUNDS (5), WARMUP (3 s), MEASURE (10 s),
//   IDLE (10 s), READ (1 s: the notice on screen before Return), HEIGHT (1024: the viewport's
//   height, so the canvas is 819x819), PROFILE.
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
const height = setting('HEIGHT', 1024);

const chosen = process.env.WEB_PATCHED ? 'ours,patched,bare' : 'ours,bare';
const subjects = [
    {name: 'ours', folder: '', program: 'helicoid'},
    {name: 'patched', folder: 'patched/', program: 'helicoid'},
    {name: 'bare', folder: 'bench/bare/'},
    {name: 'emulated', folder: 'bench/', program: 'helicoid_emulated'},
].filter(subject => (process.env.SUBJECTS || chosen).split(',').includes(subject.name));

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

// CPU seconds so far of Chromium's processes by type (browser, renderer, GPU, ...), and `main`:
// the renderers' main threads (a process's first thread, whose id is the process's), where the
// page's scripts run. The time each thread has run comes from /proc in nanoseconds (DevTools
// gives it in 10 ms ticks).
async function cpuTimes(session) {
    const {processInfo} = await session.send('SystemInfo.getProcessInfo');
    const ran = (pid, thread) =>
        Number(fs.readFileSync(`/proc/${pid}/task/${thread}/schedstat`, 'utf8').split(' ')[0]) / 1e9;
    const allThreads = pid => {
        try {
            return fs.readdirSync(`/proc/${pid}/task`).reduce((sum, thread) => {
                try {
                    return sum + ran(pid, thread);
                } catch {
                    return sum;  // a thread that has just ended
                }
            }, 0);
        } catch {
            return null;
        }
    };
    const byType = {all: 0, main: 0};
    for (const {type, id, cpuTime} of processInfo) {
        const seconds = allThreads(id) ?? cpuTime;
        byType[type] = (byType[type] || 0) + seconds;
        byType.all += seconds;
        if (type === 'renderer') byType.main += ran(id, id);
    }
    return byType;
}

// DevTools' figures for the page's main thread, in seconds of its CPU time: all of it, and its
// scripts'.
async function pageTimes(client) {
    const {metrics} = await client.send('Performance.getMetrics');
    const value = name => metrics.find(metric => metric.name === name).value;
    return {thread: value('ThreadTime'), script: value('ScriptDuration')};
}

// Percent of a core for each kind of process between two readings over `ms`.
const cpuShare = (before, after, ms) => Object.fromEntries(['renderer', 'GPU', 'all', 'main'].map(type => {
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
// later inherit them. On one core the rate shows how much work a frame is.
async function pin(session, cores) {
    const {processInfo} = await session.send('SystemInfo.getProcessInfo');
    for (const {id} of processInfo)
        execFileSync('taskset', ['-a', '-p', '-c', cores, String(id)], {stdio: 'ignore'});
}

// Frames per second over `measure`, and per frame in ms: the page's main thread (/proc and
// DevTools), its scripts, the GPU process and all of Chromium.
async function drawingOver(page, session, client) {
    const before = await cpuTimes(session), pageBefore = await pageTimes(client);
    const drawing = await framesOver(page, measure);
    const after = await cpuTimes(session), pageAfter = await pageTimes(client);
    const perFrame = seconds => (1000 * seconds) / drawing.frames;
    return {
        fps: drawing.frames / drawing.seconds,
        main: perFrame(after.main - before.main),
        thread: perFrame(pageAfter.thread - pageBefore.thread),
        script: perFrame(pageAfter.script - pageBefore.script),
        gpu: perFrame(after.GPU - before.GPU),
        all: perFrame(after.all - before.all),
    };
}

// A fresh browser on the subject's page, its notice dismissed and its first frame out; with
// `oneCore`, Chromium pinned to one core from its start.
async function open(server, subject, browser, oneCore) {
    const session = await browser.target().createCDPSession();
    if (oneCore) await pin(session, '0');
    const page = await browser.newPage();
    await page.setViewport({width: 1024, height});
    page.errors = [];
    page.on('pageerror', error => page.errors.push(error.message));
    await page.evaluateOnNewDocument(instrument);
    await page.goto(server.url + subject.folder);
    await page.waitForFunction(() => window.benchSeen.noticeAt !== null, {polling: 'mutation'});
    await pause(read);
    await page.keyboard.press('Enter');
    await page.waitForFunction(() => window.benchSeen.firstFrameAt !== null);
    const client = await page.target().createCDPSession();
    await client.send('Performance.enable', {timeDomain: 'threadTicks'});
    await pause(warmup);
    return {session, page, client};
}

// One run; with `oneCore`, Chromium pinned to one core, and only the drawing.
async function run(server, subject, {oneCore = false} = {}) {
    const browser = await launch();
    try {
        const {session, page, client} = await open(server, subject, browser, oneCore);
        const side = await page.$eval('canvas', canvas => [canvas.width, canvas.height].join('x'));
        const cores = await drawingOver(page, session, client);
        if (oneCore) return {oneCore: cores};

        // A press and a release at one point stop the model; after a second the last frame is out.
        const box = await (await page.$('canvas')).boundingBox();
        await page.mouse.click(box.x + box.width / 2, box.y + box.height / 2);
        await pause(1000);
        const stoppedCpu = await cpuTimes(session);
        const stopped = await framesOver(page, idle);
        const stoppedShare = cpuShare(stoppedCpu, await cpuTimes(session), stopped.seconds * 1000);

        const seen = await page.evaluate(() => window.benchSeen);
        if (page.errors.length) throw new Error(`${subject.name}: script errors: ${page.errors.join('; ')}`);
        return {
            side,
            cores,
            notice: seen.noticeAt,
            firstFrame: seen.firstFrameAt - seen.dismissedAt,
            stoppedShare,
            stoppedFrames: stopped.frames,
        };
    } finally {
        await browser.close();
    }
}

// A sampling profile of the page's main thread over `measure` while it draws: the time a frame
// of the busy samples (not idle, not the profiler's own), and each entry's share of them by its
// innermost function.
async function profile(server, subject) {
    const browser = await launch();
    try {
        const {page, client} = await open(server, subject, browser, false);
        await client.send('Profiler.enable');
        await client.send('Profiler.setSamplingInterval', {interval: 100});
        await client.send('Profiler.start');
        const {frames} = await framesOver(page, measure);
        const {profile} = await client.send('Profiler.stop');
        // By node: its function and the file it is in (none: the browser's own, WebGL calls too).
        const where = new Map(profile.nodes.map(node => {
            const {functionName, url} = node.callFrame, file = url ? path.basename(url) : '';
            return [node.id, [`${functionName || '(anonymous)'} ${file}`.trim(), file || 'the browser']];
        }));
        const counts = new Map(), files = new Map();
        let busy = 0;
        for (const id of profile.samples) {
            const [entry, file] = where.get(id);
            if (['(idle)', '(program)', '(profiler)'].includes(entry)) continue;
            ++busy;
            counts.set(entry, (counts.get(entry) || 0) + 1);
            files.set(file, (files.get(file) || 0) + 1);
        }
        const busyMs = (profile.endTime - profile.startTime) / 1000 * busy / profile.samples.length / frames;
        await page.close();
        const share = map => [...map].sort((x, y) => y[1] - x[1]).map(([k, n]) => [k, (100 * n) / busy]);
        return {busyMs, top: share(counts).slice(0, 12), files: share(files)};
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
const runs = Object.fromEntries(subjects.map(subject => [subject.name, []]));
const lines = [];
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
    if (process.env.PROFILE) {
        lines.push(
            `${version}, headless; one sampling profile (0.1 ms) of each page over ${
                measure / 1000} s of drawing, ${warmup / 1000} s after its first frame.`,
            '');
        for (const subject of subjects) {
            const {busyMs, top, files} = await profile(server, subject);
            lines.push(
                `## ${subject.name}: ${fixed(busyMs, 2)} ms a frame busy; top entries by self time`, '');
            lines.push(files.map(([file, share]) => `${file} ${fixed(share)} %`).join(', ') + '.', '');
            lines.push('| entry | % of busy |', '|---|---:|');
            for (const [entry, share] of top) lines.push(`| \`${entry}\` | ${fixed(share)} |`);
            lines.push('');
        }
        fs.writeFileSync(report, lines.join('\n') + '\n');
        server.close();
        process.exit(0);
    }
    for (let round = 0; round < rounds; ++round) {
        // Alternate the order, so that no subject always runs on a machine just warmed.
        const order = round % 2 ? [...subjects].reverse() : subjects;
        for (const subject of order) {
            const result = {...await run(server, subject), ...await run(server, subject, {oneCore: true})};
            runs[subject.name].push(result);
            console.error(
                `round ${round + 1} ${subject.name}: ${fixed(result.cores.fps)} fps, main thread ${
                    fixed(result.cores.main, 2)} ms a frame,` +
                ` ${fixed(result.oneCore.fps)} fps on one core, first frame ${
                    fixed(result.firstFrame, 0)} ms after Return,` +
                ` stopped ${fixed(result.stoppedShare.all, 2)} % of a core (load ${
                    fs.readFileSync('/proc/loadavg', 'utf8').split(' ')[0]})`);
        }
    }
    runs.empty = await emptyPage();
} finally {
    server.close();
}

const [ours, ...others] = subjects.map(subject => subject.name);
lines.push(
    `${version}, headless, WebGL 2 by SwiftShader (software, on the CPU);`,
    `viewport 1024x${height} at pixel ratio 1, canvas ${runs[ours][0].side}; ${rounds} paired round${
        rounds > 1 ? 's' : ''},`,
    `each run in a fresh browser: Return ${read / 1000} s after the notice, frames over ${measure / 1000} s`,
    `after ${warmup / 1000} s, then a click and ${idle / 1000} s stopped; then a run pinned to one`,
    'core from its start. Per frame: CPU ms of the page\'s main thread (/proc; DevTools\' ThreadTime),',
    'of its scripts (DevTools\' ScriptDuration, in thread time) and of the GPU process.', '');
const measures = [
    ['frames a second', r => r.fps, 1], ['main thread, /proc', r => r.main, 2],
    ['main thread, DevTools', r => r.thread, 2], ['scripts', r => r.script, 2],
    ['GPU process', r => r.gpu, 2], ['all of Chromium', r => r.all, 1]
];
// Per round and subject, and the medians of the rounds and of each round's ratio ours / other.
function perFrame(heading, cores) {
    lines.push(`## ${heading}`, '');
    lines.push(
        `| round | subject | ${measures.map(([label]) => label).join(' | ')} |`,
        `|---|---|${measures.map(() => '---:').join('|')}|`);
    for (let i = 0; i < rounds; ++i)
        for (const subject of subjects)
            lines.push(`| ${i + 1} | ${subject.name} | ${
                measures.map(([, pick, digits]) => fixed(pick(runs[subject.name][i][cores]), digits))
                    .join(' | ')} |`);
    for (const subject of subjects)
        lines.push(`| **median** | ${subject.name} | ${
            measures
                .map(([, pick, digits]) => fixed(median(runs[subject.name].map(r => pick(r[cores]))), digits))
                .join(' | ')} |`);
    for (const other of others)
        lines.push(`| **median ratio** | ${ours} / ${other} | ${
            measures
                .map(
                    ([, pick]) => `**${
                        fixed(
                            median(runs[ours].map((r, i) => pick(r[cores]) / pick(runs[other][i][cores]))),
                            2)}**`)
                .join(' | ')} |`);
    lines.push('');
}
perFrame('Drawing at rest, per frame (ms) and frames a second', 'cores');
perFrame('Drawing at rest, Chromium pinned to one core', 'oneCore');

lines.push('## Start-up, stopped (medians of the rounds)', '');
lines.push(
    `| | ${subjects.map(subject => subject.name).join(' | ')} |`,
    `|---|${subjects.map(() => '---').join('|')}|`);
const row = (label, pick, digits = 0, unit = '') => lines.push(
    `| ${label} | ` +
    subjects.map(subject => `${fixed(median(runs[subject.name].map(pick)), digits)}${unit}`).join(' | ') +
    ' |');
row('navigation to the notice', r => r.notice, 0, ' ms');
row('Return to the first frame (its animation frame)', r => r.firstFrame, 0, ' ms');
row('stopped: renderer main thread, % of a core', r => r.stoppedShare.main, 2);
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
for (const subject of subjects.filter(subject => subject.program)) {
    for (const size of sizes(subject)) {
        const name = size.file === 'total' ? `**${subject.name}: total**` : `${subject.folder}${size.file}`;
        lines.push(`| ${name} | ${kib(size.plain)} | ${kib(size.gzip)} | ${kib(size.brotli)} |`);
    }
}

fs.writeFileSync(report, lines.join('\n') + '\n');
