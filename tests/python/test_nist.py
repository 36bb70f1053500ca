"""kelvora.table against the NIST ITS-90 reference tables (tests/data/all.tab): every EMF at
every whole degree of the eight types, as the tables print it (three decimals)."""

import os

import numpy as np
import pytest

import kelvora

DATA = os.environ.get("KELVORA_TEST_DATA_DIR", os.path.join(os.path.dirname(__file__), "..",
                                                            "data"))


def reference_tables():
    """Per type letter, the EMF text at each whole degree. A row holds the EMFs at its
    temperature plus each column heading (-0 to -10 below 0 °C); the last column of a row
    repeats the first of the next."""
    tables, columns, letter = {}, [], None
    for line in open(os.path.join(DATA, "all.tab"), encoding="utf-8"):
        tok = line.split()
        if not tok or line.startswith("#"):
            continue
        if "Table for type " in line:
            letter = line[line.index("Table for type ") + 15]
        elif tok[0] == "°C":
            columns = [int(c) for c in tok[1:]]
        elif all(t.lstrip("-").replace(".", "", 1).isdigit() for t in tok) and "." not in tok[0]:
            for column, text in zip(columns, tok[1:]):
                tables.setdefault(letter, {})[int(tok[0]) + column] = text
    return tables


TABLES = reference_tables()


@pytest.mark.parametrize("letter", sorted(TABLES))
def test_the_table_at_0_C_holds_every_value_of_the_nist_table(letter):
    table = kelvora.table(letter, cj=0)
    reference = TABLES[letter]
    assert table["temperature_C"].tolist() == sorted(reference)
    shown = kelvora.format_fixed(table["emf_mV"], 3)
    differing = [(t, s, reference[t]) for t, s in zip(table["temperature_C"].astype(int), shown)
                 if s != reference[t]]
    assert not differing, differing[:5]
    assert len(TABLES) == 8
