// A line or a few lines of trace text in a fixed buffer: what does not fit
// is cut off, never written past the end.
#ifndef QUOREL_TRACE_TEXT_H
#define QUOREL_TRACE_TEXT_H

#include <cstdarg>
#include <cstddef>
#include <cstdio>

namespace quorel::trace {

class Text {
public:
    __attribute__((format(printf, 2, 3))) void Add(const char* format, ...) {
        va_list args;
        va_start(args, format);
        AddV(format, args);
        va_end(args);
    }
    void AddV(const char* format, va_list args) {
        if (length_ + 1 >= sizeof(text_))
            return;
        const int n = std::vsnprintf(text_ + length_, sizeof(text_) - length_, format, args);
        if (n > 0)
            length_ = length_ + n < sizeof(text_) ? length_ + n : sizeof(text_) - 1;
    }
    void Clear() { length_ = 0, text_[0] = '\0'; }
    const char* c_str() const { return text_; }

private:
    char text_[2048] = "";
    size_t length_ = 0;
};

}  // namespace quorel::trace

#endif  // QUOREL_TRACE_TEXT_H
