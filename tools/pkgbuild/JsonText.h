#pragma once
#include <string>

// A JSON string literal for 8-bit text: control characters and bytes above 0x7F
// (ANSI code page text, not UTF-8) are written as \u00XX escapes.
std::string JsonString(const std::string& text);
// Package text for a terminal: control bytes and bytes above 0x7E as \xNN.
std::string PrintableText(const std::string& text);
