// The web action template: a text in which "$:" and a name (letters and
// digits, compared ignoring ASCII case) stand for the value of a parameter.
// Builds in both trees.
#pragma once

#include <cstddef>
#include <iosfwd>
#include <string>
#include <vector>

enum {
    QUITEMPLATE_MAX_INPUT = 3072000,   // a longer template fills to nothing
    QUITEMPLATE_BAD_JOB = 87           // ERROR_INVALID_PARAMETER
};

// How values go into the filled text. The text around them is the
// connector's and stays as written; a value is the user's and must not
// change the meaning of the URL or page it lands in.
enum QuiTemplateEscape {
    templateAsIs,     // the value as it is
    templateUrl,      // every byte but A-Z a-z 0-9 - . _ ~ as %XX
    templateHtml      // & < > " ' + as character references
};

// One parameter: a name and a value, which may be missing. A verbatim value
// is the template's own syntax (a "+" between query words) and is never escaped.
class QUITEMPLATE_PARAM {
public:
    QUITEMPLATE_PARAM(const char* name, const char* value, bool verbatim = false);
    virtual ~QUITEMPLATE_PARAM() = default;

    const std::string& GetName() const { return m_name; }
    // Null when the value is missing.
    const char* GetValue() const { return m_hasValue ? m_value.c_str() : nullptr; }
    bool IsVerbatim() const { return m_verbatim; }

private:
    std::string m_name;
    std::string m_value;
    bool m_hasValue;
    bool m_verbatim;
};

// A placeholder found in a text.
class STREAM_PARAM : public QUITEMPLATE_PARAM {
public:
    // The first placeholder at or behind `from`; IsFound() is false when
    // there is none.
    static STREAM_PARAM Find(const std::string& text, size_t from);

    bool IsFound() const { return m_found; }
    size_t GetLength() const { return m_length; }    // marker and name
    size_t GetMarker() const { return m_marker; }
    size_t GetEnd() const { return m_end; }          // just behind the name

private:
    STREAM_PARAM(const std::string& name, bool found, size_t marker, size_t end);

    bool m_found;
    size_t m_length;
    size_t m_marker;
    size_t m_end;
};

// The parameters of one expansion in the order they were added; a name
// added twice keeps its first value.
class QuiTemplateParamList {
public:
    void Add(const char* name, const char* value, bool verbatim = false);
    // The first record whose name equals `name` ignoring ASCII case, or null.
    const QUITEMPLATE_PARAM* Find(const std::string& name) const;

    const std::vector<QUITEMPLATE_PARAM>& GetParams() const { return m_params; }
    size_t GetCount() const { return m_params.size(); }

private:
    std::vector<QUITEMPLATE_PARAM> m_params;
};

// Appends one record per word of a query text, named by "%sword%d" from
// `prefix` and the word number: words end at each blank (runs of blanks give
// empty words), lose their leading white space, and stop after the hundredth.
void AddQueryWords(QuiTemplateParamList& params, const char* prefix, const std::string& query);

// The value as it must stand in a text of that kind.
std::string EscapeTemplateValue(const std::string& value, QuiTemplateEscape escape);

// One expansion: the template read from the input, the filled text written
// to the output.
class QUITEMPLATE {
public:
    QUITEMPLATE(std::istream* input, std::ostream* output, QuiTemplateParamList params,
                QuiTemplateEscape escape = templateAsIs);
    virtual ~QUITEMPLATE() = default;

    // 87 when the job or either stream is missing; else 0, also when the
    // template was too long (nothing is written then).
    static unsigned Expand(QUITEMPLATE* job);
    unsigned Expand() { return Expand(this); }

    const QuiTemplateParamList& GetParams() const { return m_params; }

private:
    std::istream* m_input;
    std::ostream* m_output;
    QuiTemplateParamList m_params;
    QuiTemplateEscape m_escape;
};
