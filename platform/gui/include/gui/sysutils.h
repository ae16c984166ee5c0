// Exceptions, formatting, integer conversion, the string list and the
// program's command line.
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <stdexcept>
#include <type_traits>
#include <string>
#include <string_view>
#include <vector>

// The library's base exception class.
class Exception : public std::exception {
public:
    explicit Exception(std::string message) : Message(std::move(message)) {}
    const char* what() const noexcept override { return Message.c_str(); }
    std::string Message;
};

class EConvertError : public Exception {
    using Exception::Exception;
};
class EOutOfMemory : public Exception {
    using Exception::Exception;
};
class EInvalidOperation : public Exception {
    using Exception::Exception;
};
class EResNotFound : public Exception {
    using Exception::Exception;
};
// Silent: the message loop drops it without a message.
class EAbort : public Exception {
    using Exception::Exception;
};

// One argument of Format.
class TFormatArg {
public:
    enum class Kind { Integer, Unsigned, Float, Text };
    template <class T>
        requires(std::is_integral_v<T> && std::is_signed_v<T> && !std::is_same_v<T, char>)
    TFormatArg(T v) : kind_(Kind::Integer), i_(v) {}
    template <class T>
        requires(std::is_integral_v<T> && std::is_unsigned_v<T> && !std::is_same_v<T, bool>)
    TFormatArg(T v) : kind_(Kind::Unsigned), u_(v) {}
    TFormatArg(double v) : kind_(Kind::Float), f_(v) {}
    TFormatArg(const char* s) : kind_(Kind::Text), s_(s ? s : "") {}
    TFormatArg(std::string_view s) : kind_(Kind::Text), s_(s) {}
    TFormatArg(const std::string& s) : kind_(Kind::Text), s_(s) {}
    TFormatArg(char c) : kind_(Kind::Text), s_(1, c) {}

    Kind kind() const { return kind_; }
    std::int64_t integer() const { return i_; }
    std::uint64_t unsignedValue() const { return u_; }
    double floating() const { return f_; }
    const std::string& text() const { return s_; }

private:
    Kind kind_;
    std::int64_t i_ = 0;
    std::uint64_t u_ = 0;
    double f_ = 0;
    std::string s_;
};

// printf-like formatting that never trusts its format: conversions
// d i u x X c s f e g and %%, flags - 0 + space, width and precision.
// A format that does not fit its arguments raises EConvertError.
std::string FormatArgs(std::string_view format, std::initializer_list<TFormatArg> args);
template <class... Args>
std::string Format(std::string_view format, const Args&... args)
{
    return FormatArgs(format, {TFormatArg(args)...});
}

std::string IntToStr(std::int64_t value);
// Signed decimal, leading blanks allowed; anything else, an empty text or a
// value outside 32 bits raises EConvertError.
int StrToInt(std::string_view text);
int StrToIntDef(std::string_view text, int fallback);

// The command line: parameter 0 is the program's full path, 1 .. ParamCount
// its arguments as the shell split them (a quoted name with spaces is one).
// Past the count, "". Until SetParams, there are no arguments and parameter
// 0 is GetModuleFileNameA(NULL, ...).
int ParamCount();
std::string ParamStr(int index);
// Parameter 0 first. main passes its arguments with its own path first
// (SetParams(argc, argv) does that, with the full path in place of argv[0]).
void SetParams(std::vector<std::string> params);
void SetParams(int argc, char** argv);

class TStringList {
public:
    TStringList() = default;
    TStringList(std::initializer_list<std::string> items) : items_(items) {}
    // A copy holds the items only: whoever watches the original does not
    // watch the copy.
    TStringList(const TStringList& other) : items_(other.items_) {}
    TStringList& operator=(const TStringList& other)
    {
        Assign(other);
        return *this;
    }
    int Count() const { return static_cast<int>(items_.size()); }
    int Add(std::string s);
    void Insert(int index, std::string s);
    void Delete(int index);
    void Clear();
    int IndexOf(std::string_view s) const;  // case-insensitive, -1 when absent
    const std::string& Strings(int index) const;
    void SetStrings(int index, std::string s);
    const std::string& operator[](int index) const { return Strings(index); }
    void Assign(const TStringList& source);
    // Lines joined with "\r\n" after each; SetText splits at CR, LF or CRLF.
    std::string Text() const;
    void SetText(std::string_view text);
    bool operator==(const TStringList& other) const { return items_ == other.items_; }

    // Fired after every change of the items (a control showing them repaints).
    std::function<void()> OnChange;

private:
    void Changed();
    std::vector<std::string> items_;
};
