#!/usr/bin/env python3
"""Checks the lab tool's JSON documents against its committed schema.

check-json.py SCHEMA FILE...: every FILE must be valid; each error is named with its place.
"""
import json
import sys

import jsonschema

schema = json.load(open(sys.argv[1]))
jsonschema.Draft202012Validator.check_schema(schema)
validator = jsonschema.Draft202012Validator(schema)
invalid = 0
for path in sys.argv[2:]:
    with open(path) as file:
        document = json.load(file)
    errors = sorted(validator.iter_errors(document), key=lambda error: list(error.path))
    for error in errors[:5]:
        place = "/".join(str(part) for part in error.absolute_path)
        print(f"{path}: {place or '(top)'}: {error.message}")
    invalid += 1 if errors else 0
sys.exit(1 if invalid else 0)
