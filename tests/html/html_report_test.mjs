// The HTML report in the installed Chromium: names and values that look like
// markup stay text and run nothing, the page asks for nothing over the
// network, every anchor and link lands on its object, the contents, the
// find box and back/forward work, the embedded data is the JSON report, and
// a large report renders its objects from that data.
//   node html_report_test.mjs --program P --jetgen J --modules DIR --chromium C
//        --work DIR --samples DIR [--testdata DIR]
import assert from "node:assert/strict";
import { execFileSync, spawnSync } from "node:child_process";
import fs from "node:fs";
import { createRequire } from "node:module";
import path from "node:path";
import { pathToFileURL } from "node:url";
import zlib from "node:zlib";

const args = {};
for (let i = 2; i < process.argv.length; i += 2) {
    args[process.argv[i].replace(/^--/, "")] = process.argv[i + 1];
}
const require = createRequire(path.join(args.modules, "node_modules", "x.js"));
const puppeteer = require("puppeteer-core");

const HOSTILE_SCRIPT = "<script>alert(1)</script>";
const HOSTILE_IMG = "\"><img src=x onerror=alert(2)>";
const HOSTILE_QUOTE = "'><svg onload=alert(3)>";
const NAMES = [HOSTILE_SCRIPT, HOSTILE_IMG, HOSTILE_QUOTE];

function hostileDescription() {
    return {
        tables: [
            {
                name: HOSTILE_SCRIPT,
                description: HOSTILE_IMG,
                validationRule: "[" + HOSTILE_QUOTE + "] <> '</script>'",
                validationText: "</script><script>alert(4)</script>",
                columns: [
                    { name: HOSTILE_QUOTE, type: "Long", autoNumber: true, description: HOSTILE_SCRIPT },
                    { name: HOSTILE_IMG, type: "Text", defaultValue: "\"<b onmouseover=alert(5)>\"",
                      validationText: "<!-- <script>" },
                ],
                indexes: [{ name: HOSTILE_IMG, columns: [HOSTILE_QUOTE], primary: true }],
            },
            {
                name: HOSTILE_IMG,
                columns: [{ name: "Id", type: "Long" }, { name: HOSTILE_SCRIPT, type: "Long" }],
                indexes: [{ name: HOSTILE_SCRIPT, columns: ["Id"], unique: true }],
            },
            { name: "Order Details", columns: [{ name: "Id", type: "Long" }] },
        ],
        relationships: [
            { name: HOSTILE_QUOTE, table: HOSTILE_SCRIPT, columns: [HOSTILE_QUOTE],
              foreignTable: HOSTILE_IMG, foreignColumns: [HOSTILE_SCRIPT] },
        ],
        queries: [
            { name: HOSTILE_SCRIPT, type: "select", tables: [HOSTILE_IMG],
              columns: ["[" + HOSTILE_SCRIPT + "]"], where: "[Id] = [" + HOSTILE_QUOTE + "]",
              parameters: [{ name: "<b onmouseover=alert(8)>p</b>", type: "Text", size: 50 }] },
        ],
        modules: [
            { name: HOSTILE_IMG, type: "standard",
              source: "Option Explicit\r\n' </script><script>alert(6)</script>\r\n" +
                      "Sub Run()\r\n    MsgBox \"<img src=x onerror=alert(7)>\"\r\nEnd Sub\r\n" },
        ],
    };
}

function run(program, list, options = {}) {
    const result = spawnSync(program, list, { encoding: "utf8", ...options });
    if (result.status !== 0 && !(options.allow || []).includes(result.status)) {
        throw new Error(`${program} ${list.join(" ")} exited with ${result.status}\n${result.stderr}`);
    }
    return result;
}

function generate(name, description) {
    const source = path.join(args.work, name + ".json");
    const database = path.join(args.work, name + ".mdb");
    fs.writeFileSync(source, JSON.stringify(description));
    run(args.jetgen, [source, database]);
    return database;
}

// The anchor of an object as the page makes it.
function anchor(kind, name) {
    let out = kind + "-";
    for (const byte of Buffer.from(name, "utf8")) {
        const c = String.fromCharCode(byte);
        out += /[A-Za-z0-9_-]/.test(c) ? c : "%" + byte.toString(16).toUpperCase().padStart(2, "0");
    }
    return out;
}

// The embedded JSON of a page, unpacked when compressed.
function embeddedJson(html) {
    const match = /<script type="([^"]+)" id="report-json"(?: data-encoding="([^"]+)")?>([^<]*)<\/script>/
        .exec(html);
    assert.ok(match, "the page embeds its JSON form");
    const text = match[2] === "gzip+base64"
        ? zlib.gunzipSync(Buffer.from(match[3], "base64")).toString("utf8")
        : match[3];
    return JSON.parse(text);
}

// A fresh page that records every request but its own file, every dialog,
// console error, page error and policy violation.
async function watchedPage(browser, file) {
    const page = await browser.newPage();
    const trouble = [];
    await page.setRequestInterception(true);
    const own = pathToFileURL(file).href;
    page.on("request", (request) => {
        if (request.url().split("#")[0] !== own) {
            trouble.push("request " + request.url());
            request.abort();
        } else {
            request.continue();
        }
    });
    page.on("dialog", (dialog) => {
        trouble.push("dialog " + dialog.message());
        dialog.dismiss();
    });
    page.on("console", (message) => {
        if (message.type() === "error" || message.type() === "warning") {
            trouble.push("console " + message.text());
        }
    });
    page.on("pageerror", (error) => trouble.push("page error " + error.message));
    await page.evaluateOnNewDocument(() => {
        document.addEventListener("securitypolicyviolation", (event) => {
            console.error("policy violated: " + event.violatedDirective + " " + event.blockedURI);
        });
        window.alert = () => console.error("alert called");
    });
    await page.goto(own, { waitUntil: "load" });
    return { page, trouble };
}

// Every object of the JSON is in the contents and under its anchor, every
// internal link resolves, and following a link or the find box lands on it.
async function checkNavigation(page, json, kinds) {
    const ids = await page.$$eval("[id]", (all) => all.map((e) => e.id));
    const idSet = new Set(ids);
    assert.equal(ids.length, idSet.size, "element ids are unique");
    const hrefs = await page.$$eval("a[href^='#']", (all) => all.map((a) => a.getAttribute("href")));
    for (const href of hrefs) {
        assert.ok(idSet.has(href.slice(1)), `link ${href} leads somewhere`);
    }
    const expected = [];
    for (const [key, kind] of kinds) {
        for (const name of Object.keys(json[key] || {})) {
            expected.push([anchor(kind, name), name]);
        }
    }
    for (const [id, name] of expected) {
        assert.ok(idSet.has(id), `object ${name} has the anchor ${id}`);
        assert.ok(hrefs.includes("#" + id), `object ${name} is in the contents`);
    }
    for (const [id, name] of expected.slice(0, 40)) {
        await page.click(`#contents a[href="#${CSS.escape(id)}"]`);
        const landed = await page.evaluate((target) => {
            const element = document.getElementById(target);
            const box = element.querySelector("h3").getBoundingClientRect();
            return { hash: location.hash, top: box.top, height: innerHeight,
                     heading: element.querySelector("h3").textContent };
        }, id);
        assert.equal(landed.hash, "#" + id);
        assert.ok(landed.top >= -1 && landed.top < landed.height, `${name}'s heading is in view`);
        assert.ok(landed.heading.includes(name), `${name}'s heading names it`);
    }
    return expected;
}

async function checkFindAndHistory(page, expected) {
    const [firstId, firstName] = expected[0];
    const [secondId] = expected[expected.length - 1];
    await page.click("main h1");
    await page.keyboard.press("/");
    assert.equal(await page.evaluate(() => document.activeElement.id), "find", "/ focuses the find box");
    await page.keyboard.type(firstName);
    const shown = await page.$$eval("#contents a.object-link",
        (all) => all.filter((a) => !a.parentElement.hidden).map((a) => a.textContent));
    assert.ok(shown.every((t) => t.includes(firstName)), "the find box keeps matching names only");
    assert.ok(shown.length >= 1);
    await page.waitForFunction(() => document.querySelector("#contents a.section").tabIndex === -1);
    await page.keyboard.press("Tab");
    assert.equal(await page.evaluate(() => document.activeElement.textContent), shown[0],
        "Tab from the find box reaches the first match");
    await page.keyboard.down("Shift");
    await page.keyboard.press("Tab");
    await page.keyboard.up("Shift");
    await page.keyboard.press("Enter");
    await page.waitForFunction((id) => location.hash === "#" + id, {}, firstId);
    await page.evaluate((id) => { location.hash = "#" + id; }, secondId);
    await page.goBack();
    assert.equal(await page.evaluate(() => location.hash), "#" + firstId, "back returns");
    await page.goForward();
    assert.equal(await page.evaluate(() => location.hash), "#" + secondId, "forward returns");
}

const KINDS = [["tables", "table"], ["relationships", "relationship"], ["queries", "query"]];

async function hostileReport(browser) {
    const database = generate("hostile", hostileDescription());
    const html = path.join(args.work, "hostile.html");
    const json = path.join(args.work, "hostile.json");
    run(args.program, ["--all-switches", "--html", html, "--json", json, database]);
    const { page, trouble } = await watchedPage(browser, html);
    const text = await page.evaluate(() => document.querySelector("main").innerText);
    for (const name of NAMES) {
        assert.ok(text.includes(name), `${name} is shown as text`);
    }
    const planted = await page.evaluate(() =>
        document.querySelectorAll("main img, main b, main script, nav img, [onerror], [onload], [onmouseover]").length);
    assert.equal(planted, 0, "no element comes from a name or value");
    const report = JSON.parse(fs.readFileSync(json, "utf8"));
    const embedded = embeddedJson(fs.readFileSync(html, "utf8"));
    delete report.produced;
    delete embedded.produced;
    assert.deepEqual(embedded, report, "the embedded data is the JSON report");
    const linksFrom = (id) => page.$eval(`[id="${id}"]`,
        (e) => Array.from(e.querySelectorAll("td a")).map((a) => a.getAttribute("href")));
    assert.deepEqual(await linksFrom(anchor("query", HOSTILE_SCRIPT)),
        ["#" + anchor("table", HOSTILE_IMG)], "a query's source table is a link");
    assert.deepEqual((await linksFrom(anchor("relationship", HOSTILE_QUOTE))).sort(),
        ["#" + anchor("table", HOSTILE_IMG), "#" + anchor("table", HOSTILE_SCRIPT)].sort(),
        "a relationship's tables are links");
    const expected = await checkNavigation(page, report, KINDS);
    await checkFindAndHistory(page, expected);
    const diagramLinks = await page.$$eval(".diagram g.table", (all) => all.length);
    assert.ok(diagramLinks >= 2, "the diagram is drawn inline");
    assert.deepEqual(trouble, [], "nothing ran, was asked for or was refused");
    await page.close();
}

async function comparison(browser) {
    const description = hostileDescription();
    const before = generate("old", description);
    description.tables[2].columns.push({ name: HOSTILE_SCRIPT, type: "Text" });
    description.tables.push({ name: HOSTILE_QUOTE, columns: [{ name: "Id", type: "Long" }] });
    description.queries = [];
    const after = generate("new", description);
    const html = path.join(args.work, "compare.html");
    const json = path.join(args.work, "compare.json");
    run(args.program, ["--all-switches", "--html", html, "--json", json, "--compare", before, after],
        { allow: [1] });
    const { page, trouble } = await watchedPage(browser, html);
    const marks = await page.$$eval("main h3 .change", (all) => all.map((e) => e.textContent));
    assert.ok(marks.includes("+ added"), "an added object is marked with its symbol");
    assert.ok(marks.includes("\u2212 removed"), "a removed object is marked with its symbol");
    assert.ok(marks.includes("\u0394 changed"), "a changed object is marked with its symbol");
    const report = JSON.parse(fs.readFileSync(json, "utf8"));
    const embedded = embeddedJson(fs.readFileSync(html, "utf8"));
    delete report.produced;
    delete embedded.produced;
    assert.deepEqual(embedded, report, "the embedded data is the JSON comparison");
    const ids = new Set(await page.$$eval("[id]", (all) => all.map((e) => e.id)));
    for (const href of await page.$$eval("a[href^='#']", (all) => all.map((a) => a.getAttribute("href")))) {
        assert.ok(ids.has(href.slice(1)), `link ${href} leads somewhere`);
    }
    assert.deepEqual(trouble, [], "nothing ran, was asked for or was refused");
    await page.close();
}

// The samples and real files: every object is in the contents, under its
// anchor, and its link lands on it; nothing is asked for or refused.
async function realFiles(browser) {
    const files = [
        path.join(args.samples, "sample-business.mdb"),
        path.join(args.samples, "HarbourArchive.mdb"),
    ];
    if (args.testdata) {
        for (const name of ["jackcess/V2000/queryTestV2000.mdb", "ucanaccess/complex.accdb",
                            "linq2db/issue_1164.mdb"]) {
            const file = path.join(args.testdata, name);
            if (fs.existsSync(file)) {
                files.push(file);
            }
        }
    }
    for (const [i, database] of files.entries()) {
        const html = path.join(args.work, `real-${i}.html`);
        const json = path.join(args.work, `real-${i}.json`);
        run(args.program, ["--all-switches", "--html", html, "--json", json, database]);
        const { page, trouble } = await watchedPage(browser, html);
        const report = JSON.parse(fs.readFileSync(json, "utf8"));
        await checkNavigation(page, report, KINDS);
        assert.deepEqual(trouble, [], `${database}: nothing was asked for or refused`);
        await page.close();
    }
}

// Above the static limit the objects travel as data: one far down the page
// is rendered when its anchor is followed, and the data unpacks to the JSON.
async function largeReport(browser) {
    const tables = [];
    for (let i = 0; i < 2100; ++i) {
        tables.push({ name: `T${i} <i>`, columns: [{ name: `F${i}"'`, type: "Long" }] });
    }
    // A chain of relationships: a diagram of many pages.
    const relationships = [];
    for (let i = 0; i < 400; ++i) {
        relationships.push({ name: `R${i}`, table: tables[i].name, columns: [tables[i].columns[0].name],
                             foreignTable: tables[i + 1].name, foreignColumns: [tables[i + 1].columns[0].name] });
    }
    const database = generate("large", { tables, relationships });
    const html = path.join(args.work, "large.html");
    const json = path.join(args.work, "large.json");
    run(args.program, ["--all-switches", "--html", html, "--json", json, database]);
    const report = JSON.parse(fs.readFileSync(json, "utf8"));
    const embedded = embeddedJson(fs.readFileSync(html, "utf8"));
    delete report.produced;
    delete embedded.produced;
    assert.deepEqual(embedded, report, "the compressed data is the JSON report");
    const { page, trouble } = await watchedPage(browser, html);
    await page.setViewport({ width: 1280, height: 900 });  // the contents beside the page
    const id = anchor("table", "T2050 <i>");
    await page.click(`#contents a[href="#${CSS.escape(id)}"]`);
    await page.waitForFunction((target) => {
        const element = document.getElementById(target);
        return element && !element.classList.contains("pending") && element.querySelector("table");
    }, { timeout: 10000 }, id);
    const cell = await page.evaluate((target) =>
        document.getElementById(target).querySelector("tbody th.member").textContent, id);
    assert.equal(cell, "Field - F2050\"'");
    await checkLargeJumps(page, id);
    await checkLargeDiagram(page);
    assert.deepEqual(trouble, [], "nothing ran, was asked for or was refused");
    await page.close();
}

// Where an object is once the page has settled: its heading's place in the
// view, whether it is shown, and whether its contents entry can be seen.
async function settledPlace(page, id) {
    return page.evaluate(async (target) => {
        for (let frame = 0; frame < 20; ++frame) {
            await new Promise(requestAnimationFrame);
        }
        const element = document.getElementById(target);
        const current = document.querySelector("#contents [aria-current]").getBoundingClientRect();
        const contents = document.getElementById("contents").getBoundingClientRect();
        return {
            top: element.querySelector("h3").getBoundingClientRect().top,
            shown: !element.classList.contains("pending"),
            listed: current.top >= contents.top && current.bottom <= contents.bottom,
            rendered: document.querySelectorAll("main .object:not(.pending)").length,
        };
    }, id);
}

// The objects rendered around a jump's target (taller than while waiting)
// leave it where the jump put it; jumps far apart leave only what is near
// the view rendered; back returns to an object that was emptied meanwhile.
async function checkLargeJumps(page, first) {
    const place = await settledPlace(page, first);
    assert.ok(place.shown && place.top >= 0 && place.top < 40, `the jump stays on its target: ${place.top}`);
    assert.ok(place.listed, "the contents show the entry of the object in view");
    for (const name of ["T100 <i>", "T1000 <i>", "T1500 <i>"]) {
        await page.click(`#contents a[href="#${CSS.escape(anchor("table", name))}"]`);
    }
    const last = await settledPlace(page, anchor("table", "T1500 <i>"));
    assert.ok(last.shown && last.top >= 0 && last.top < 40, `the last jump is on its target: ${last.top}`);
    assert.ok(last.rendered < 40, `only objects near the view are rendered: ${last.rendered}`);
    assert.ok(await page.$eval(`[id="${anchor("table", "T100 <i>")}"]`,
        (e) => e.classList.contains("pending")), "an object left far behind is emptied");
    await page.goBack();
    const back = await settledPlace(page, anchor("table", "T1000 <i>"));
    assert.ok(back.shown && back.top >= 0 && back.top < 40, `back shows the object: ${back.top}`);
    assert.ok(back.listed, "the contents follow back to the object's entry");
}

// Shown, the diagram of a large report draws its pages near the view only,
// and a table's box there leads to the table.
async function checkLargeDiagram(page) {
    await page.evaluate(async () => {
        document.querySelector(".show-diagram").scrollIntoView({ block: "center" });
        for (let frame = 0; frame < 20; ++frame) {
            await new Promise(requestAnimationFrame);
        }
    });
    await page.click("figure.diagram .show-diagram");
    const [pages, shown] = await page.waitForFunction(() => {
        const pages = Array.from(document.querySelectorAll(".diagram-page"));
        const shown = pages.filter((e) => !e.classList.contains("pending") && e.querySelector("svg"));
        return shown.length && [pages.length, shown.length];
    }, { timeout: 10000 }).then((handle) => handle.jsonValue());
    assert.ok(pages >= 5 && shown < pages - 2, `pages drawn near the view only: ${shown} of ${pages}`);
    const name = await page.$eval(".diagram-page:not(.pending) g.table", (box) => {
        box.scrollIntoView({ block: "center" });
        return box.getAttribute("data-name");
    });
    await page.click(`.diagram-page:not(.pending) g.table[data-name="${name}"] text.title`);
    const place = await settledPlace(page, anchor("table", name));
    assert.ok(place.shown && place.top >= 0 && place.top < 40, `the box leads to its table: ${place.top}`);
}

// CSS.escape for node: enough for the anchors' characters (letters, digits,
// _ - and %).
const CSS = { escape: (text) => text.replace(/[^A-Za-z0-9_-]/g, (c) => "\\" + c) };

const browser = await puppeteer.launch({
    executablePath: args.chromium,
    headless: true,
    args: ["--no-sandbox", "--disable-gpu", "--allow-file-access-from-files=false"],
});
try {
    fs.mkdirSync(args.work, { recursive: true });
    await hostileReport(browser);
    await comparison(browser);
    await realFiles(browser);
    await largeReport(browser);
    console.log("HTML report checks passed");
} finally {
    await browser.close();
}
