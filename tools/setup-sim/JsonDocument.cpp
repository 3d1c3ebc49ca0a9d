#include "tools/setup-sim/JsonDocument.h"

namespace lab {

nlohmann::ordered_json JsonDocument(const char* kind) {
  return nlohmann::ordered_json{{"schemaVersion", kSchemaVersion}, {"kind", kind}};
}

nlohmann::ordered_json ErrorJson(const std::string& command, const std::string& message,
                                 int exitCode) {
  nlohmann::ordered_json json = JsonDocument("error");
  json["command"] = command;
  json["message"] = message;
  json["exitCode"] = exitCode;
  return json;
}

std::string JsonText(const nlohmann::ordered_json& json) {
  return json.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n";
}

}  // namespace lab
