// Prints what mdb-reader sees in a database as JSON: table names by kind,
// columns with type and size, and every row of the non-catalog tables.
import { readFileSync } from "fs";
import { pathToFileURL } from "url";

const [, , nodeDir, file] = process.argv;
const entry = `${nodeDir}/node_modules/mdb-reader/lib/node/index.js`;
const MDBReader = (await import(pathToFileURL(entry).href)).default;
const reader = new MDBReader(readFileSync(file));

const result = {
    normal: reader.getTableNames(),
    system: reader.getTableNames({ normalTables: false, systemTables: true }),
    linked: reader.getTableNames({ normalTables: false, linkedTables: true }),
    tables: {},
};
for (const name of [...result.normal, ...result.system]) {
    // MSysAccessObjects holds a column type no reader decodes; Access files have it too.
    if (name === "MSysAccessObjects") continue;
    const table = reader.getTable(name);
    result.tables[name] = {
        rowCount: table.rowCount,
        columns: table.getColumns().map((c) => ({
            name: c.name, type: c.type, size: c.size, precision: c.precision ?? null,
            scale: c.scale ?? null, autoLong: c.autoLong, autoUUID: c.autoUUID,
        })),
        rows: table.getData(),
    };
}
const replacer = (key, value) => {
    if (typeof value === "bigint") return value.toString();
    if (value && value.type === "Buffer" && Array.isArray(value.data)) {
        return "0x" + Buffer.from(value.data).toString("hex");
    }
    if (value instanceof Date) return value.toISOString();
    return value;
};
process.stdout.write(JSON.stringify(result, replacer));
