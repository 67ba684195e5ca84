// Times an HTML report in headless Chromium: the first screen, jumps to
// objects from the contents and from the find box, and the tab's memory.
//   node measure.mjs --modules DIR --chromium PATH --page FILE.html
import { createRequire } from "node:module";
import fs from "node:fs";
import path from "node:path";
import { pathToFileURL } from "node:url";

const args = {};
for (let i = 2; i < process.argv.length; i += 2) {
    args[process.argv[i].replace(/^--/, "")] = process.argv[i + 1];
}
const require = createRequire(path.join(args.modules, "node_modules", "x.js"));
const puppeteer = require("puppeteer-core");

// The resident memory of this browser's renderer processes, in MB.
function rendererMegabytes(rootPid) {
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
    let total = 0;
    for (const pid of fs.readdirSync("/proc").filter((p) => /^\d+$/.test(p)).map(Number)) {
        try {
            const cmd = fs.readFileSync(`/proc/${pid}/cmdline`, "utf8");
            if (cmd.includes("--type=renderer") && descends(pid)) {
                const status = fs.readFileSync(`/proc/${pid}/status`, "utf8");
                total += Number(/VmRSS:\s+(\d+)/.exec(status)[1]) / 1024;
            }
        } catch {
            // gone meanwhile
        }
    }
    return Math.round(total);
}

const browser = await puppeteer.launch({
    executablePath: args.chromium, headless: true, args: ["--no-sandbox", "--disable-gpu"],
});
const page = await browser.newPage();
await page.setViewport({ width: 1280, height: 900 });
const started = Date.now();
await page.goto(pathToFileURL(path.resolve(args.page)).href, { waitUntil: "load" });
const loaded = Date.now() - started;
const paint = await page.evaluate(() =>
    performance.getEntriesByType("paint").map((e) => [e.name, Math.round(e.startTime)]));
// Jumps: the time from the click until the object's contents are on screen.
async function jump(select) {
    return page.evaluate(async (index) => {
        const links = Array.from(document.querySelectorAll("#contents a.object-link"));
        const link = links[Math.min(index, links.length - 1)];
        const id = link.hash.slice(1);
        const t0 = performance.now();
        link.click();
        for (;;) {
            const target = document.getElementById(id);
            const box = target.getBoundingClientRect();
            if (!target.classList.contains("pending") && box.top < innerHeight && box.bottom > 0) {
                await new Promise(requestAnimationFrame);
                return performance.now() - t0;
            }
            await new Promise((resolve) => setTimeout(resolve, 1));
        }
    }, select);
}
const jumps = [];
const count = await page.$$eval("#contents a.object-link", (all) => all.length);
for (const fraction of [0.1, 0.35, 0.6, 0.85, 0.99]) {
    jumps.push(Math.round(await jump(Math.floor(count * fraction))));
}
// The find box: typing a name, then Enter.
const name = await page.$eval(`#contents li:nth-last-child(3) a.object-link`, (a) => a.textContent);
await page.keyboard.press("/");
const findStarted = Date.now();
await page.keyboard.type(name);
await page.keyboard.press("Enter");
await page.waitForFunction(() => {
    const target = document.getElementById(location.hash.slice(1));
    return target && !target.classList.contains("pending");
});
const found = Date.now() - findStarted;
const heap = (await page.metrics()).JSHeapUsedSize / 1048576;
console.log(JSON.stringify({
    file: args.page,
    megabytes: +(fs.statSync(args.page).size / 1048576).toFixed(2),
    objects: count,
    loadMs: loaded,
    paintMs: Object.fromEntries(paint),
    jumpMs: jumps,
    findTypeAndEnterMs: found,
    jsHeapMB: Math.round(heap),
    rendererRssMB: rendererMegabytes(browser.process().pid),
}, null, 1));
await browser.close();
