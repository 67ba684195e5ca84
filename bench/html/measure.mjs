// Times an HTML report in headless Chromium: the first screen, jumps to
// objects from the contents and from the find box, and the tab's memory
// after loading and after the jumps. Several runs; medians of their figures.
//   node measure.mjs --modules DIR --chromium PATH --page FILE.html [--runs N]
//        [--jumps N]
import { createRequire } from "node:module";
import fs from "node:fs";
import path from "node:path";
import { pathToFileURL } from "node:url";

const args = { runs: "3", jumps: "40" };
for (let i = 2; i < process.argv.length; i += 2) {
    args[process.argv[i].replace(/^--/, "")] = process.argv[i + 1];
}
const require = createRequire(path.join(args.modules, "node_modules", "x.js"));
const puppeteer = require("puppeteer-core");

const megabytes = (kb) => Math.round(kb / 1024);

// The renderer processes of this browser, each with its resident memory, its
// proportional share (shared pages divided among their users) and its
// private memory, in KB.
function renderers(rootPid) {
    const parentOf = (pid) => {
        try {
            return Number(/PPid:\s+(\d+)/.exec(fs.readFileSync(`/proc/${pid}/status`, "utf8"))[1]);
        } catch {
            return 0;
        }
    };
    const descends = (pid) => {
        for (let p = pid; p > 1; p = parentOf(p)) {
            if (p === rootPid) {
                return true;
            }
        }
        return false;
    };
    const found = [];
    for (const pid of fs.readdirSync("/proc").filter((p) => /^\d+$/.test(p)).map(Number)) {
        try {
            const cmd = fs.readFileSync(`/proc/${pid}/cmdline`, "utf8");
            if (!cmd.includes("--type=renderer") || !descends(pid)) {
                continue;
            }
            const rollup = fs.readFileSync(`/proc/${pid}/smaps_rollup`, "utf8");
            const field = (name) => Number(new RegExp(name + ":\\s+(\\d+)").exec(rollup)[1]);
            found.push({
                rss: field("Rss"),
                pss: field("Pss"),
                private: field("Private_Clean") + field("Private_Dirty"),
            });
        } catch {
            // gone meanwhile
        }
    }
    return found;
}

// The memory of the page: DOM nodes, script heap, and the renderers'. The
// page's own renderer is the one with the most private memory (the others
// hold blank pages or wait as spares).
async function memory(page, client, rootPid) {
    await client.send("HeapProfiler.collectGarbage");
    await new Promise((resolve) => setTimeout(resolve, 500));
    const counters = await client.send("Memory.getDOMCounters");
    const metrics = await page.metrics();
    const all = renderers(rootPid);
    const own = all.reduce((a, b) => (b.private > a.private ? b : a), { rss: 0, pss: 0, private: 0 });
    return {
        domNodes: counters.nodes,
        jsHeapMB: +(metrics.JSHeapUsedSize / 1048576).toFixed(1),
        tabPrivateMB: megabytes(own.private),
        tabPssMB: megabytes(own.pss),
        tabRssMB: megabytes(own.rss),
        renderersRssMB: megabytes(all.reduce((sum, r) => sum + r.rss, 0)),
        renderers: all.length,
    };
}

// The time from a click on the object's entry in the contents until its
// details are on screen. The entry is brought into the contents' view first,
// as a reader scrolls to it; that is not timed.
async function jump(page, id) {
    return page.evaluate(async (target) => {
        const contents = document.getElementById("contents");
        const selector = `#contents a[href="#${CSS.escape(target)}"]`;
        let link = document.querySelector(selector);
        for (let step = 0; !link && step < 400; ++step) {
            // Entries rendered as they are scrolled to: scroll towards it.
            const ids = Array.from(document.querySelectorAll("main article.object"), (e) => e.id);
            contents.scrollTop = (ids.indexOf(target) / ids.length) * contents.scrollHeight -
                contents.clientHeight / 2;
            await new Promise(requestAnimationFrame);
            await new Promise((resolve) => setTimeout(resolve, 20));
            link = document.querySelector(selector);
        }
        link.scrollIntoView({ block: "nearest" });
        await new Promise(requestAnimationFrame);
        const t0 = performance.now();
        link.click();
        for (;;) {
            const element = document.getElementById(target);
            const box = element.getBoundingClientRect();
            if (!element.classList.contains("pending") && box.top < innerHeight && box.bottom > 0) {
                await new Promise(requestAnimationFrame);
                return performance.now() - t0;
            }
            if (performance.now() - t0 > 5000) {
                return Infinity;  // lost: the object is not on screen
            }
            await new Promise((resolve) => setTimeout(resolve, 1));
        }
    }, id);
}

// The time from Enter in the find box, the name typed, until the frame that
// shows the object's details (measured in the page, as for the contents);
// and once the time from the first key typed, through the browser's driver.
async function find(page, name, id, withTyping) {
    await page.click("main h1");
    await page.keyboard.press("/");
    const typingStarted = Date.now();
    await page.keyboard.type(name);
    await page.evaluate((target) => {
        window.findShown = new Promise((resolve) => {
            document.getElementById("find").addEventListener("keydown", (event) => {
                if (event.key !== "Enter") {
                    return;
                }
                const t0 = performance.now();
                const check = () => {
                    const element = document.getElementById(target);
                    const box = element.getBoundingClientRect();
                    if (location.hash === "#" + target && !element.classList.contains("pending") &&
                        box.top < innerHeight && box.bottom > 0) {
                        resolve(performance.now() - t0);
                    } else if (performance.now() - t0 > 5000) {
                        resolve(Infinity);
                    } else {
                        requestAnimationFrame(check);
                    }
                };
                requestAnimationFrame(check);
            }, { capture: true, once: true });
        });
    }, id);
    await page.keyboard.press("Enter");
    const ms = await page.evaluate(() => window.findShown);
    const done = Date.now();
    await page.evaluate(() => {
        const box = document.getElementById("find");
        box.value = "";
        box.dispatchEvent(new Event("input"));
    });
    return withTyping ? (ms === null ? Infinity : done - typingStarted) : Math.round(ms ?? Infinity);
}

// Shows the relationship diagram from its button and scrolls through it a
// screen at a time, each screen drawn before the next: the time to the
// first picture on screen, the time to go through, and the longest task.
async function showDiagram(page) {
    return page.evaluate(async () => {
        const figure = document.querySelector("main figure.diagram");
        const button = figure && figure.querySelector(".show-diagram");
        if (!button) {
            return null;
        }
        let longest = 0;
        new PerformanceObserver((list) => {
            for (const entry of list.getEntries()) {
                longest = Math.max(longest, entry.duration);
            }
        }).observe({ type: "longtask" });
        const frame = () => new Promise(requestAnimationFrame);
        const onScreen = (element) => {
            const box = element.getBoundingClientRect();
            return box.top < innerHeight && box.bottom > 0;
        };
        const drawn = () => Array.from(figure.querySelectorAll("svg")).some(onScreen);
        const waiting = () => Array.from(figure.querySelectorAll(".diagram-page.pending"))
            .some(onScreen);
        figure.scrollIntoView();
        await frame();
        const t0 = performance.now();
        button.click();
        while (!drawn() && performance.now() - t0 < 60000) {
            await frame();
        }
        await frame();
        const firstMs = performance.now() - t0;
        const t1 = performance.now();
        let mostDrawn = 0;
        while (figure.getBoundingClientRect().bottom > innerHeight) {
            window.scrollBy(0, innerHeight);
            const t2 = performance.now();
            do {
                await frame();
            } while (waiting() && performance.now() - t2 < 5000);
            mostDrawn = Math.max(mostDrawn, figure.querySelectorAll("svg").length);
        }
        return {
            firstMs: Math.round(firstMs),
            throughMs: Math.round(performance.now() - t1),
            longestTaskMs: Math.round(longest),
            mostPagesDrawn: mostDrawn,
            pages: figure.querySelectorAll(".diagram-page").length,
        };
    });
}

const median = (list) => {
    const sorted = [...list].sort((a, b) => a - b);
    return sorted[Math.floor((sorted.length - 1) / 2)];
};

async function run() {
    const browser = await puppeteer.launch({
        executablePath: args.chromium, headless: true, args: ["--no-sandbox", "--disable-gpu"],
    });
    const rootPid = browser.process().pid;
    const page = await browser.newPage();
    await page.setViewport({ width: 1280, height: 900 });
    const client = await page.target().createCDPSession();
    const started = Date.now();
    await page.goto(pathToFileURL(path.resolve(args.page)).href, { waitUntil: "load" });
    const loadMs = Date.now() - started;
    const paintMs = await page.evaluate(() => Math.round(
        performance.getEntriesByName("first-contentful-paint")[0]?.startTime ?? -1));
    const loaded = await memory(page, client, rootPid);

    const objects = await page.$$eval("main article.object", (all) =>
        all.map((e) => ({ id: e.id, name: e.querySelector("h3").textContent.replace(/^[^:]*: /, "") })));
    const count = Number(args.jumps);
    const jumps = [];
    for (let i = 0; i < count; ++i) {
        // Evenly over the page, from a different starting point each time.
        const index = Math.floor(((i * 7919) % count + 0.5) * objects.length / count);
        jumps.push({ id: objects[index].id, ms: Math.round(await jump(page, objects[index].id)) });
    }
    const finds = [];
    for (const fraction of [0.05, 0.3, 0.55, 0.8, 0.97]) {
        const object = objects[Math.floor(fraction * objects.length)];
        finds.push(await find(page, object.name, object.id, false));
    }
    const last = objects[objects.length - 3];
    const typed = await find(page, last.name, last.id, true);
    const used = await memory(page, client, rootPid);
    const diagram = await showDiagram(page);
    const diagramUsed = diagram && await memory(page, client, rootPid);
    await browser.close();
    const times = jumps.map((j) => j.ms);
    const slowest = jumps.reduce((a, b) => (b.ms > a.ms ? b : a));
    return {
        loadMs, paintMs, loaded, used,
        jumpMedianMs: median(times), jumpMaxMs: slowest.ms, jumpSlowest: slowest.id,
        jumpsLost: times.filter((t) => t === Infinity).length,
        findEnterMedianMs: median(finds), findEnterMaxMs: Math.max(...finds),
        findsLost: finds.filter((t) => t === Infinity).length,
        findTypeAndEnterMs: typed,
        diagram, diagramUsed,
    };
}

const results = [];
for (let i = 0; i < Number(args.runs); ++i) {
    results.push(await run());
}
const of = (pick) => median(results.map(pick));
console.log(JSON.stringify({
    file: args.page,
    megabytes: +(fs.statSync(args.page).size / 1048576).toFixed(2),
    runs: results.length,
    paintMs: of((r) => r.paintMs),
    loadMs: of((r) => r.loadMs),
    jumpMedianMs: of((r) => r.jumpMedianMs),
    jumpMaxMs: of((r) => r.jumpMaxMs),
    jumpMaxOverRuns: Math.max(...results.map((r) => r.jumpMaxMs)),
    findEnterMedianMs: of((r) => r.findEnterMedianMs),
    findEnterMaxMs: of((r) => r.findEnterMaxMs),
    findTypeAndEnterMs: of((r) => r.findTypeAndEnterMs),
    loaded: Object.fromEntries(Object.keys(results[0].loaded).map((k) => [k, of((r) => r.loaded[k])])),
    used: Object.fromEntries(Object.keys(results[0].used).map((k) => [k, of((r) => r.used[k])])),
    diagram: results[0].diagram && Object.fromEntries(Object.keys(results[0].diagram).map(
        (k) => [k, of((r) => r.diagram[k])])),
    diagramUsed: results[0].diagramUsed && Object.fromEntries(Object.keys(results[0].diagramUsed)
        .map((k) => [k, of((r) => r.diagramUsed[k])])),
    slowest: results.map((r) => r.jumpSlowest),
    lost: results.map((r) => [r.jumpsLost, r.findsLost]),
}, null, 1));
