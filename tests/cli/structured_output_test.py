#!/usr/bin/env python3
"""The structured (JSON) report, the quoted CSV and the comparison, run as a
user runs ostrel2-report.

Every JSON document is validated against the schema in docs/schema with a real
validator; the quoted CSV of the bundled sample and of every real test file is
read with Python's csv module and compared value by value with the JSON.
"""

import argparse
import copy
import csv
import json
import os
import re
import subprocess
import sys
import tempfile
import unittest
from pathlib import Path

import jsonschema

ARGS = None
DATE_LABELS = {"DateCreated", "LastUpdated"}
ISO = re.compile(r"^(-?\d{4,5})-(\d\d)-(\d\d)T(\d\d):(\d\d):(\d\d)$")


def run(*arguments):
    environment = dict(os.environ, LC_ALL="C")
    return subprocess.run([ARGS.program, "--all-switches", *arguments],
                          capture_output=True, env=environment, timeout=300)


def validator():
    schema = json.loads(Path(ARGS.schema).read_text())
    jsonschema.Draft202012Validator.check_schema(schema)
    return jsonschema.Draft202012Validator(schema)


def csv_text(value, label):
    """A JSON value as the report's CSV writes it in the C locale."""
    if value is None:
        return ""
    if value is True:
        return "True"
    if value is False:
        return "False"
    if isinstance(value, int):
        return str(value)
    if isinstance(value, float):
        return "%.15G" % value
    if label in DATE_LABELS and ISO.match(value):
        date, time = value.split("T")
        return date if time == "00:00:00" else date + " " + time
    if label == "SQL":
        return value.replace("\r", " ").replace("\n", " ")
    return value


def csv_properties(rows):
    """The quoted CSV's values as {(section, object, member): {label: text}}."""
    found = {}
    section = object_name = member = None
    for row in rows:
        if not row:
            continue
        first = row[0]
        if len(row) == 1 and re.match(r"^[1-8] - ", first):
            section, object_name, member = first[0], None, None
            continue
        if section is None:
            continue
        if len(row) == 1 and " : " in first and not first.startswith(("Field - ", "Index - ")):
            object_name, member = first.split(" : ", 1)[1], None
            continue
        if section == "1":
            if len(row) == 2:
                found.setdefault(("1", None, None), {})[row[0]] = row[1]
            continue
        if first:
            member = first
        if section in "5678" and row[1].isdigit():
            continue  # a line of code or XML, numbered
        if len(row) == 3:
            found.setdefault((section, object_name, member), {})[row[1]] = row[2]
    return found


def json_properties(document):
    """The JSON report's values in the form csv_properties gives."""
    found = {("1", None, None): document["database"]["properties"]}
    for name, table in document["tables"].items():
        found[("2", name, None)] = dict(table["properties"])
        if "fieldsNotListed" in table:
            found[("2", name, None)]["Fields"] = "cannot be listed because " + table["fieldsNotListed"]
        for field, body in table["fields"].items():
            found[("2", name, "Field - " + field)] = body["properties"]
        for index, body in table["indexes"].items():
            found[("2", name, "Index - " + index)] = body["properties"]
    for name, relationship in document["relationships"].items():
        found[("3", name, None)] = relationship["properties"]
    for name, query in document["queries"].items():
        found[("4", name, None)] = query["properties"]
        for parameter, body in query["parameters"].items():
            found[("4", name, "Parameter - " + parameter)] = body["properties"]
    for section, key in (("5", "forms"), ("6", "reports"), ("7", "macros"), ("8", "modules")):
        for name, item in document.get(key, {}).items():
            found[(section, name, None)] = dict(item["properties"])
            if "note" in item:
                found[(section, name, None)]["Note"] = item["note"]
    return {key: {label: csv_text(value, label) for label, value in props.items()}
            for key, props in found.items()}


def real_files():
    files = [Path(ARGS.samples) / "sample-business.mdb"]
    testdata = Path(ARGS.testdata)
    if (testdata / "expected").is_dir():
        files += sorted(p for p in testdata.rglob("*")
                        if p.suffix.lower() in (".mdb", ".accdb") and p.is_file())
    return files


class StructuredReport(unittest.TestCase):
    def test_json_validates_and_agrees_with_the_quoted_csv(self):
        check = validator()
        compared = 0
        with tempfile.TemporaryDirectory() as folder:
            for database in real_files():
                with self.subTest(database=str(database)):
                    json_path = Path(folder) / "report.json"
                    csv_path = Path(folder) / "report.csv"
                    json_path.unlink(missing_ok=True)
                    result = run("--json", str(json_path), "--csv", str(csv_path),
                                 "--csv-quoted", str(database))
                    if result.returncode != 0:
                        # A file the reader refuses fails both forms alike.
                        self.assertEqual(result.returncode, 4, result.stderr)
                        self.assertFalse(json_path.exists())
                        continue
                    document = json.loads(json_path.read_text(encoding="utf-8"))
                    errors = [e.message for e in check.iter_errors(document)]
                    self.assertEqual(errors[:3], [])
                    with open(csv_path, newline="", encoding="utf-8", errors="replace") as f:
                        rows = list(csv.reader(f))
                    self.assertEqual(csv_properties(rows), json_properties(document))
                    compared += 1
        self.assertGreater(compared, 0)

    def test_schema_refuses_what_the_form_does_not_allow(self):
        check = validator()
        result = run("--json", "-", str(Path(ARGS.samples) / "sample-business.mdb"))
        document = json.loads(result.stdout)
        self.assertTrue(check.is_valid(document))
        table = next(iter(document["tables"].values()))
        wrong = [
            ("format", {"name": "ostrel2-report", "version": 2}),
            ("tables/properties/RecordCount", "12"),
            ("tables/properties/DateCreated", "12/6/2026"),
            ("tables/properties/Colour", "blue"),
        ]
        for where, value in wrong:
            with self.subTest(where=where):
                changed = copy.deepcopy(document)
                if where == "format":
                    changed["format"] = value
                else:
                    name = next(iter(changed["tables"]))
                    changed["tables"][name]["properties"][where.rsplit("/", 1)[1]] = value
                self.assertFalse(check.is_valid(changed))
        self.assertIn("fields", table)


class Comparison(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.folder = tempfile.TemporaryDirectory()
        folder = Path(cls.folder.name)
        description = json.loads((Path(ARGS.samples) / "sample-business.json").read_text())
        cls.old = folder / "old.mdb"
        cls.new = folder / "new.mdb"
        changed = copy.deepcopy(description)
        changed["tables"][0]["columns"][2]["size"] = 99
        changed["queries"][0]["where"] = "[Country] = 'UK, North'"
        for path, data in ((cls.old, description), (cls.new, changed)):
            source = folder / (path.stem + ".json")
            source.write_text(json.dumps(data))
            subprocess.run([ARGS.jetgen, str(source), str(path)], check=True,
                           capture_output=True)
        # The sample's linked table points at the archive beside it.
        archive = Path(ARGS.samples) / "HarbourArchive.mdb"
        (folder / archive.name).write_bytes(archive.read_bytes())

    @classmethod
    def tearDownClass(cls):
        cls.folder.cleanup()

    def test_exit_status_and_forms(self):
        check = validator()
        same = run("--json", "-", "--compare", str(self.old), str(self.old))
        self.assertEqual(same.returncode, 0, same.stderr)
        document = json.loads(same.stdout)
        self.assertTrue(check.is_valid(document))
        self.assertFalse(document["differences"])

        differ = run("--json", "-", "--compare", str(self.old), str(self.new))
        self.assertEqual(differ.returncode, 1, differ.stderr)
        document = json.loads(differ.stdout)
        self.assertEqual([e.message for e in check.iter_errors(document)], [])
        self.assertEqual(list(document["tables"]["changed"]), ["Customers"])
        fields = document["tables"]["changed"]["Customers"]["fields"]["changed"]
        self.assertEqual(fields["ContactName"]["properties"]["Size"], {"old": 40, "new": 99})
        sql = document["queries"]["changed"]["Customer List"]["properties"]["SQL"]
        self.assertIn("'UK, North'", sql["new"])

        # The quoted CSV keeps the SQL, commas and all, in one cell.
        quoted = run("--csv", "-", "--csv-quoted", "--compare", str(self.old), str(self.new))
        self.assertEqual(quoted.returncode, 1)
        rows = list(csv.reader(quoted.stdout.decode().splitlines()))
        self.assertIn(["Table : Customers", "changed"], rows)
        self.assertIn(["", "Size", "40", "99"], rows)
        sql_rows = [row for row in rows if len(row) > 1 and row[1] == "SQL"]
        self.assertEqual(len(sql_rows), 1)
        self.assertEqual(len(sql_rows[0]), 4)

    def test_neither_database_can_take_the_output(self):
        for target in (self.old, self.new):
            with self.subTest(target=target.name):
                before = target.read_bytes()
                result = run("--csv", str(target), "--compare", str(self.old), str(self.new))
                self.assertEqual(result.returncode, 3, result.stderr)
                self.assertEqual(target.read_bytes(), before)

    def test_failures_name_the_file(self):
        folder = Path(self.folder.name)
        missing = folder / "missing.mdb"
        damaged = folder / "damaged.mdb"
        damaged.write_bytes(self.old.read_bytes()[:6000])
        encoded = folder / "encoded.mdb"
        data = bytearray(self.old.read_bytes())
        # The header's key field is stored masked; changing its bits marks the
        # pages as encoded, under a key they were never encoded with.
        for offset, byte in zip(range(0x3E, 0x42), (0x78, 0x56, 0x34, 0x12)):
            data[offset] ^= byte
        encoded.write_bytes(bytes(data))
        cases = [(missing, 2, "does not exist"), (damaged, 4, ""),
                 (encoded, 4, "damaged")]
        for bad, status, words in cases:
            for pair, side in (((bad, self.new), "old"), ((self.old, bad), "new")):
                with self.subTest(file=bad.name, side=side):
                    result = run("--csv", "-", "--compare", str(pair[0]), str(pair[1]))
                    message = result.stderr.decode()
                    self.assertEqual(result.returncode, status, message)
                    self.assertIn(str(bad), message)
                    self.assertIn(words, message)
                    self.assertIn(side, message)
                    self.assertEqual(result.stdout, b"")


if __name__ == "__main__":
    parser = argparse.ArgumentParser()
    for option in ("program", "jetgen", "schema", "samples", "testdata"):
        parser.add_argument("--" + option, required=True)
    ARGS, rest = parser.parse_known_args()
    unittest.main(argv=[sys.argv[0], *rest], verbosity=1)
