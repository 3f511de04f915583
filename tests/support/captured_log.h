#pragma once
#include "log.h"

#include <cstdio>
#include <string>
#include <vector>

// A log sink on a temporary file, read back line by line.
class CapturedLog {
  public:
    CapturedLog() { sink.file = std::tmpfile(); }
    ~CapturedLog() { std::fclose(sink.file); }
    CapturedLog(const CapturedLog&) = delete;
    CapturedLog& operator=(const CapturedLog&) = delete;

    std::vector<std::string> Lines() {
        std::vector<std::string> lines;
        std::string line;
        std::fflush(sink.file);
        std::rewind(sink.file);
        for (int c; (c = std::fgetc(sink.file)) != EOF;) {
            if (c == '\n') {
                lines.push_back(line);
                line.clear();
            } else {
                line += static_cast<char>(c);
            }
        }
        std::fseek(sink.file, 0, SEEK_END);
        return lines;
    }

    std::string Text() {
        std::string text;
        for (const auto& line : Lines()) {
            text += line + "\n";
        }
        return text;
    }

    bool Has(const std::string& wanted) {
        for (const auto& line : Lines()) {
            if (line == wanted) {
                return true;
            }
        }
        return false;
    }

    LogSink sink;
};
