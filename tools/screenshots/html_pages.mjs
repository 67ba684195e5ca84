// Pictures of the HTML report and comparison in Chromium at device scale 2,
// light and dark: the first screen of a report, a module, and a comparison.
// The databases come from the business sample's description, with a module
// added, and a changed copy of it.
//   node html_pages.mjs --program ostrel2-report --jetgen jetgen --modules DIR
//        --chromium PATH --samples DIR [--out DIR] [--large REPORT.html]
// With --large, also that (large) report's first screen and a table in it.
import { spawnSync } from "node:child_process";
import fs from "node:fs";
import { createRequire } from "node:module";
import path from "node:path";
import { pathToFileURL } from "node:url";

const args = { out: "/tmp/ostrel2-html-screens" };
for (let i = 2; i < process.argv.length; i += 2) {
    args[process.argv[i].replace(/^--/, "")] = process.argv[i + 1];
}
const require = createRequire(path.resolve(args.modules, "node_modules", "x.js"));
const puppeteer = require("puppeteer-core");

const MODULE_SOURCE = [
    "Option Compare Database",
    "Option Explicit",
    "",
    "' Totals of an order, with the customer's discount.",
    "Public Function OrderTotal(ByVal orderId As Long) As Currency",
    "    Dim total As Currency",
    "    total = Nz(DSum(\"Quantity * UnitPrice\", \"Order Details\", \"OrderID = \" & orderId), 0)",
    "    If total > 1000 Then",
    "        total = total * 0.95   ' a twentieth off large orders",
    "    End If",
    "    OrderTotal = total",
    "End Function",
    "",
    "Public Sub ListLateOrders()",
    "    Dim rs As DAO.Recordset",
    "    Set rs = CurrentDb.OpenRecordset(\"SELECT * FROM Orders WHERE ShippedDate Is Null\")",
    "    Do Until rs.EOF",
    "        Debug.Print rs!OrderID, rs!OrderDate",
    "        rs.MoveNext",
    "    Loop",
    "    rs.Close",
    "End Sub",
    "",
].join("\r\n");

function run(program, list, allowed = [0]) {
    const result = spawnSync(program, list, {
        encoding: "utf8", env: { ...process.env, QT_QPA_PLATFORM: "offscreen" },
    });
    if (!allowed.includes(result.status)) {
        throw new Error(`${program} ${list.join(" ")} exited with ${result.status}\n${result.stderr}`);
    }
}

function database(name, description) {
    const source = path.join(args.out, name + ".json");
    const file = path.join(args.out, name + ".mdb");
    fs.writeFileSync(source, JSON.stringify(description));
    run(args.jetgen, [source, file]);
    return file;
}

function pages() {
    const description = JSON.parse(fs.readFileSync(path.join(args.samples, "sample-business.json"), "utf8"));
    description.modules = [{ name: "OrderTotals", type: "standard", source: MODULE_SOURCE }];
    const before = database("screens-old", description);
    const table = description.tables[0];
    table.columns.push({ name: "Region", type: "Text", size: 20 });
    table.rows = (table.rows || []).map((row) => [...row, null]);
    table.validationText = "A credit limit is zero or more.";
    description.tables.splice(1, 1);
    description.relationships = (description.relationships || [])
        .filter((r) => r.table !== "Categories" && r.foreignTable !== "Categories");
    description.modules[0].source = MODULE_SOURCE.replace("0.95", "0.9");
    const after = database("screens-new", description);
    const report = path.join(args.out, "report.html");
    const comparison = path.join(args.out, "comparison.html");
    run(args.program, ["--all-switches", "--html", report, after]);
    run(args.program, ["--all-switches", "--html", comparison, "--compare", before, after], [0, 1]);
    return { report, comparison };
}

async function shoot(browser, file, hash, scheme, name) {
    const page = await browser.newPage();
    await page.setViewport({ width: 1280, height: 800, deviceScaleFactor: 2 });
    await page.emulateMediaFeatures([{ name: "prefers-color-scheme", value: scheme }]);
    await page.goto(pathToFileURL(file).href + hash, { waitUntil: "load" });
    await page.evaluate(() => new Promise((resolve) => requestAnimationFrame(() => setTimeout(resolve, 100))));
    const out = path.join(args.out, `${name}-${scheme}.png`);
    await page.screenshot({ path: out });
    await page.close();
    return out;
}

fs.mkdirSync(args.out, { recursive: true });
const { report, comparison } = pages();
const browser = await puppeteer.launch({
    executablePath: args.chromium, headless: true, args: ["--no-sandbox", "--disable-gpu"],
});
try {
    for (const scheme of ["light", "dark"]) {
        console.log(await shoot(browser, report, "", scheme, "report"));
        console.log(await shoot(browser, report, "#module-OrderTotals", scheme, "module"));
        console.log(await shoot(browser, comparison, "", scheme, "comparison"));
        if (args.large) {
            const large = path.resolve(args.large);
            console.log(await shoot(browser, large, "", scheme, "large"));
            console.log(await shoot(browser, large, "#table-Table1000", scheme, "large-table"));
        }
    }
} finally {
    await browser.close();
}
