// A small streaming JSON writer for the command-line output (UTF-8, numbers as numbers).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace velview::cli {

class JsonWriter {
public:
    JsonWriter& BeginObject();
    JsonWriter& EndObject();
    JsonWriter& BeginArray();
    JsonWriter& EndArray();
    JsonWriter& Key(std::string_view key);
    JsonWriter& String(std::string_view value);
    JsonWriter& Number(long long value);
    JsonWriter& Bool(bool value);
    JsonWriter& Strings(const std::vector<std::string>& values);

    // Key and value in one call.
    template <class T>
    JsonWriter& Field(std::string_view key, const T& value) {
        Key(key);
        return Value(value);
    }

    const std::string& Text() const { return out_; }

private:
    JsonWriter& Value(const std::string& v) { return String(v); }
    JsonWriter& Value(const char* v) { return String(v); }
    JsonWriter& Value(std::string_view v) { return String(v); }
    JsonWriter& Value(bool v) { return Bool(v); }
    JsonWriter& Value(int v) { return Number(v); }
    JsonWriter& Value(long v) { return Number(v); }
    JsonWriter& Value(long long v) { return Number(v); }
    JsonWriter& Value(unsigned v) { return Number(v); }
    JsonWriter& Value(std::size_t v) { return Number(static_cast<long long>(v)); }
    JsonWriter& Value(const std::vector<std::string>& v) { return Strings(v); }
    void Separate();
    std::string out_;
    std::vector<bool> first_;  // per open container: nothing written in it yet
    bool afterKey_ = false;
};

}  // namespace velview::cli
