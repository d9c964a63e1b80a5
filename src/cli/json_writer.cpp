#include "cli/json_writer.h"

#include <cstdio>

namespace velview::cli {

void JsonWriter::Separate() {
    if (afterKey_) {
        afterKey_ = false;
        return;
    }
    if (!first_.empty()) {
        if (!first_.back()) out_ += ',';
        first_.back() = false;
    }
}

JsonWriter& JsonWriter::BeginObject() {
    Separate();
    out_ += '{';
    first_.push_back(true);
    return *this;
}

JsonWriter& JsonWriter::EndObject() {
    out_ += '}';
    first_.pop_back();
    return *this;
}

JsonWriter& JsonWriter::BeginArray() {
    Separate();
    out_ += '[';
    first_.push_back(true);
    return *this;
}

JsonWriter& JsonWriter::EndArray() {
    out_ += ']';
    first_.pop_back();
    return *this;
}

JsonWriter& JsonWriter::Key(std::string_view key) {
    String(key);
    out_ += ':';
    afterKey_ = true;
    return *this;
}

JsonWriter& JsonWriter::String(std::string_view v) {
    Separate();
    out_ += '"';
    for (unsigned char c : v) {
        switch (c) {
            case '"': out_ += "\\\""; break;
            case '\\': out_ += "\\\\"; break;
            case '\n': out_ += "\\n"; break;
            case '\r': out_ += "\\r"; break;
            case '\t': out_ += "\\t"; break;
            default:
                if (c < 0x20) {
                    char buf[8];
                    std::snprintf(buf, sizeof buf, "\\u%04x", c);
                    out_ += buf;
                } else {
                    out_ += static_cast<char>(c);
                }
        }
    }
    out_ += '"';
    return *this;
}

JsonWriter& JsonWriter::Number(long long v) {
    Separate();
    out_ += std::to_string(v);
    return *this;
}

JsonWriter& JsonWriter::Bool(bool v) {
    Separate();
    out_ += v ? "true" : "false";
    return *this;
}

JsonWriter& JsonWriter::Strings(const std::vector<std::string>& values) {
    BeginArray();
    for (const auto& s : values) String(s);
    return EndArray();
}

}  // namespace velview::cli
