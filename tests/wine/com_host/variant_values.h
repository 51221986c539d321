// The stand-in host's own conversions between VARIANTs and the add-in's
// values (kept apart from the module's, so that a fault on one side shows).
#pragma once

#include "addin/value.h"

#include <windows.h>

#include <oaidl.h>

#include <string>

namespace vtest::comhost {

std::string Utf8(const wchar_t* text, std::size_t length);
std::wstring Wide(const std::string& text);

// A value the add-in passed (texts, numbers, dates, Booleans, empty).
vantelo::Value ToValue(const VARIANT& value);
// A value for the add-in; objects are not handed out this way.
void FromValue(const vantelo::Value& value, VARIANT& out);

} // namespace vtest::comhost
