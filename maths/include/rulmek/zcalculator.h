// A small recursive-descent evaluator of arithmetic expressions with named variables and the
// functions sin, cos, tan, exp and sqrt. Errors evaluate to 1.0 where they occur.
#pragma once

#include <string>
#include <utility>
#include <vector>

class ZCalculator {
public:
    ZCalculator();
    virtual ~ZCalculator();
    ZCalculator(const ZCalculator&) = delete;
    ZCalculator& operator=(const ZCalculator&) = delete;

    // Takes a lower-cased copy of text and (re)defines pi.
    void setString(const char* text);
    // Evaluates the statements of the text; returns the value of the last one.
    double Engine();
    // Overwrites the variable stored under exactly this name, or adds it.
    void SetMap(const char* name, double value);
    // Appends a variable under the lower-cased name, even when one exists already.
    void AddMap(const char* name, double value);

    // Token codes besides the operator characters themselves.
    enum { TOKEN_NAME = 0, TOKEN_NUMBER = 1, TOKEN_END = 2 };
    static constexpr int TEXT_SIZE = 50;
    // Deeper nesting of brackets and signs evaluates to the error value instead of
    // exhausting the stack.
    static constexpr int MAX_DEPTH = 256;

protected:
    // Value of the first variable of that name; an unknown name is added with value 0.
    virtual double findTable(const char* name);

    int GetOpType();
    double expr(bool readFirst);
    double term(bool readFirst);
    double prim(bool readFirst);
    double transe(char* name, double argument);
    double error(const std::string& message);

private:
    double primaryValue();
    double readNumberValue();
    double readNameValue();

    std::string m_text; // lower-cased copy of the text being evaluated
    bool m_hasText;
    char* m_cursor; // into m_text
    std::vector<std::pair<std::string, double>> m_variables;
    int m_token;
    char m_number[TEXT_SIZE];
    int m_numberLength;
    char m_name[TEXT_SIZE];
    int m_nameLength;
    int m_depth; // nesting of primaries being evaluated
};
