#include "JsonOutput.h"

#include <iostream>

void PrintJsonDocument(const nlohmann::ordered_json& document)
{
    std::cout << document.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << '\n';
}
