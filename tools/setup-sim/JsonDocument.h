// What every JSON document of the tool shares: the version of its schema
// (tools/setup-sim/setup-sim.schema.json, printed by `setup-sim schema`) and what it holds,
// errors as JSON, and the text it is written as.
#pragma once

#include <nlohmann/json.hpp>
#include <string>

namespace lab {

// Raised whenever a document changes shape: a key added, removed or given another meaning.
inline constexpr int kSchemaVersion = 2;

// {"schemaVersion": 2, "kind": kind}; kinds: run, matrix, lint, diff, expect, error.
nlohmann::ordered_json JsonDocument(const char* kind);

// What went wrong, for a command given --json: the message and the exit code it ends with.
nlohmann::ordered_json ErrorJson(const std::string& command, const std::string& message,
                                 int exitCode);

// Indented, with bytes that are no UTF-8 replaced, and a line end.
std::string JsonText(const nlohmann::ordered_json& json);

// The committed schema itself.
const std::string& SchemaText();

}  // namespace lab
