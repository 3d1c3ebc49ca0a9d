#!/usr/bin/env python3
"""Checks the lab tool's JSON documents against its committed schema.

check-json.py SCHEMA FILE...: every FILE must be valid, each error named with its place; and
the schema must refuse each document with its last key, or its first row's counts, taken away.
"""
import copy
import json
import sys

import jsonschema

schema = json.load(open(sys.argv[1]))
jsonschema.Draft202012Validator.check_schema(schema)
validator = jsonschema.Draft202012Validator(schema)
failures = 0
for path in sys.argv[2:]:
    with open(path) as file:
        document = json.load(file)
    errors = sorted(validator.iter_errors(document), key=lambda error: list(error.path))
    for error in errors[:5]:
        place = "/".join(str(part) for part in error.absolute_path)
        print(f"{path}: {place or '(top)'}: {error.message}")
    failures += 1 if errors else 0
    lacking = copy.deepcopy(document)
    del lacking[list(lacking)[-1]]
    if lacking.get("rows") and "counts" in lacking["rows"][0]:
        del lacking["rows"][0]["counts"]
    if validator.is_valid(lacking):
        print(f"{path}: the schema takes the document without its last key")
        failures += 1
sys.exit(1 if failures else 0)
