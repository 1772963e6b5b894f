#pragma once
#include <stdexcept>
#include <string>

// A failure that stops a build or an inspection with a message for the user.
class BuildError : public std::runtime_error {
public:
    explicit BuildError(const std::string& what) : std::runtime_error(what) {}
};
