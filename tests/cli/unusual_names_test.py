#!/usr/bin/env python3
"""Names with spaces, non-Latin letters and apostrophes, in the database's
path and in every kind of object, survive the whole report: the CSV, the JSON
and the PDF (read back with pdftotext) show each of them intact, and the
object options and messages of ostrel2-report take and give them unchanged.
"""

import argparse
import csv
import json
import os
import subprocess
import sys
import tempfile
import unittest
from pathlib import Path

ARGS = None

TABLE = "Ünïcode Ταβλε"
ORDERS = "Заказы"
KEY = "Κωδικός ID"
CLIENT = "Client's name"
NUMBER = "Номер заказа"
NOTE = "O'Brien Note"
PRIMARY = "Ключ первичный"
ORDER_INDEX = "Индекс d'ordre"
RELATION = "Связь Ταβλε'Заказы"
QUERY = "Запрос l'été"
DEFAULT = "\"Ёлка's «note»\""
NAMES = [TABLE, ORDERS, KEY, CLIENT, NUMBER, NOTE, PRIMARY, ORDER_INDEX, RELATION, QUERY]

DESCRIPTION = {
    "tables": [
        {"name": TABLE,
         "columns": [{"name": KEY, "type": "Long", "autoNumber": True},
                     {"name": CLIENT, "type": "Text", "defaultValue": DEFAULT}],
         "indexes": [{"name": PRIMARY, "columns": [KEY], "primary": True}],
         "rows": [[None, "d'Artagnan"], [None, "Δημήτρης"]]},
        {"name": ORDERS,
         "columns": [{"name": NUMBER, "type": "Long"}, {"name": KEY, "type": "Long"},
                     {"name": NOTE, "type": "Text"}],
         "indexes": [{"name": ORDER_INDEX, "columns": [NUMBER], "unique": True}]},
    ],
    "relationships": [
        {"name": RELATION, "table": TABLE, "columns": [KEY], "foreignTable": ORDERS}],
    "queries": [
        {"name": QUERY, "type": "select", "tables": [ORDERS],
         "columns": ["[" + NUMBER + "]", "[" + NOTE + "]"],
         "where": "[" + NOTE + "]='d''Artagnan'"}],
}


def strings(value):
    """Every key and text value of a JSON document."""
    if isinstance(value, dict):
        for key, item in value.items():
            yield key
            yield from strings(item)
    elif isinstance(value, list):
        for item in value:
            yield from strings(item)
    elif isinstance(value, str):
        yield value


def squeezed(text):
    """Text without white space: the PDF wraps long names inside their cell."""
    return "".join(text.split())


class UnusualNames(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.work = tempfile.TemporaryDirectory()
        folder = Path(cls.work.name) / "Dossier d'été Ünï"
        folder.mkdir()
        cls.database = folder / "Base Заказы l'été.mdb"
        source = Path(cls.work.name) / "description.json"
        source.write_text(json.dumps(DESCRIPTION, ensure_ascii=False), encoding="utf-8")
        subprocess.run([ARGS.jetgen, str(source), str(cls.database)], check=True,
                       capture_output=True, timeout=60)

    @classmethod
    def tearDownClass(cls):
        cls.work.cleanup()

    def run_report(self, *arguments):
        environment = dict(os.environ, LC_ALL="C.UTF-8", QT_QPA_PLATFORM="offscreen",
                           XDG_CONFIG_HOME=str(Path(self.work.name) / "config"))
        return subprocess.run([ARGS.program, *arguments], capture_output=True,
                              env=environment, timeout=300)

    def test_every_name_survives_every_output(self):
        out = Path(self.work.name)
        done = self.run_report(str(self.database), "--all-switches", "--csv-quoted",
                               "--csv", str(out / "r.csv"), "--json", str(out / "r.json"),
                               "--pdf", str(out / "r.pdf"))
        self.assertEqual(done.returncode, 0, done.stderr.decode("utf-8", "replace"))

        with open(out / "r.csv", encoding="utf-8", newline="") as f:
            cells = {cell for row in csv.reader(f) for cell in row}
        json_texts = set(strings(json.loads((out / "r.json").read_text(encoding="utf-8"))))
        pdf_text = subprocess.run(["pdftotext", "-raw", "-enc", "UTF-8", str(out / "r.pdf"), "-"],
                                  check=True, capture_output=True).stdout.decode("utf-8")
        expected_cells = {
            TABLE: "Table : " + TABLE, ORDERS: "Table : " + ORDERS,
            KEY: "Field - " + KEY, CLIENT: "Field - " + CLIENT,
            NUMBER: "Field - " + NUMBER, NOTE: "Field - " + NOTE,
            PRIMARY: "Index - " + PRIMARY, ORDER_INDEX: "Index - " + ORDER_INDEX,
            RELATION: "Relationship : " + RELATION, QUERY: "Query : " + QUERY,
        }
        path = str(self.database)
        for name in NAMES:
            with self.subTest(name=name):
                self.assertIn(expected_cells[name], cells)
                self.assertIn(name, json_texts)
                self.assertIn(squeezed(expected_cells[name]), squeezed(pdf_text))
        with self.subTest(name="database path"):
            self.assertTrue(any(path in cell for cell in cells))
            self.assertIn(path, json_texts)
            self.assertIn(squeezed(path), squeezed(pdf_text))
        with self.subTest(name="default value"):
            self.assertIn(DEFAULT, cells)
            self.assertIn(DEFAULT, json_texts)
        with self.subTest(name="SQL"):
            self.assertTrue(any("'d''Artagnan'" in cell and NOTE in cell for cell in cells))

    def test_options_and_messages_keep_names(self):
        done = self.run_report(str(self.database), "--table", ORDERS, "--query", QUERY,
                               "--csv", "-")
        self.assertEqual(done.returncode, 0, done.stderr.decode("utf-8", "replace"))
        lines = done.stdout.decode("utf-8").splitlines()
        self.assertEqual([l for l in lines if l.startswith(("Table : ", "Query : "))],
                         ["Table : " + ORDERS, "Query : " + QUERY])

        missing = "Nüll l'été Ζ"
        done = self.run_report(str(self.database), "--table", missing, "--csv", "-")
        self.assertNotEqual(done.returncode, 0)
        self.assertIn("'" + missing + "'", done.stderr.decode("utf-8"))


def main():
    global ARGS
    parser = argparse.ArgumentParser()
    parser.add_argument("--program", required=True)
    parser.add_argument("--jetgen", required=True)
    ARGS, rest = parser.parse_known_args()
    unittest.main(argv=[sys.argv[0], *rest], verbosity=2)


if __name__ == "__main__":
    main()
