#pragma once

// The GUI driver's cases and the checks they make. A case is a plain
// procedure that drives the program and states what it must show; each
// check that fails is recorded with what was seen, and a failed Require ends
// the case at once (the case's program is then ended by its owner).

#include <functional>
#include <string>
#include <vector>

// Thrown by Check::Require; caught by the driver around each case.
struct CaseAbort {};

class Check {
public:
    // Records a failure named by what when condition is false; returns condition.
    bool Expect(bool condition, const std::string& what);
    // Records a failure when seen differs from wanted, showing both.
    bool ExpectText(const std::string& seen, const std::string& wanted, const std::string& what);
    // As Expect, but ends the case when condition is false.
    void Require(bool condition, const std::string& what);

    // A line of information printed under the case's result, failed or not.
    void Note(const std::string& text) { notes.push_back(text); }

    const std::vector<std::string>& Failures() const { return failures; }
    const std::vector<std::string>& Notes() const { return notes; }

private:
    std::vector<std::string> failures;
    std::vector<std::string> notes;
};

using CaseProcedure = std::function<void(Check&)>;

struct GuiCase {
    std::string name;
    CaseProcedure run;
};

// Every case of the driver, in the order of registration.
std::vector<GuiCase>& GuiCases();

// Adds a case; used at static initialisation, by GUI_CASE and by tables of cases.
struct GuiCaseRegistration {
    GuiCaseRegistration(const std::string& name, CaseProcedure run);
};

// Defines and registers a case: GUI_CASE(ExitEndsTheProgram, "Exit ends ...") { ... }
#define GUI_CASE(procedure, name)                                          \
    static void procedure(Check& check);                                   \
    static const GuiCaseRegistration procedure##Registration(name, procedure); \
    static void procedure(Check& check)

// Shows a text with its control characters spelt out, for failure messages.
std::string Quoted(const std::string& text);
