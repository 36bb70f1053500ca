// kelvora-cli leads and budget: a resistance thermometer's lead-wire error, and a
// measurement's uncertainty budget as text, csv or json (answers/budget_sheet.hpp makes both;
// this reads the options' texts and prints).
#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "app/cli/line_writer.hpp"
#include "app/cli/report.hpp"

namespace kelvora::cli {

// The leads' options as typed, for `leads` and `budget --leads`.
struct LeadTexts {
    std::optional<std::string> wires, ohms, length, area, awg, at, imbalance;
    bool any() const { return wires || ohms || length || area || awg || at || imbalance; }
};

struct LeadsCommand {
    SensorOptions sensor;
    std::string temp;  // a temperature, or "-" for a column on standard input
    LeadTexts leads;
};

struct BudgetCommand {
    SensorOptions sensor;
    std::string temp;
    std::optional<std::string> cls, element, cjError, cj, cable, cableAt, meter, transmitter, range,
        k;
    bool leads = false;
    LeadTexts leadTexts;
    std::vector<std::string> rows;  // NAME,VALUE,UNIT,DIST each
    std::string format = "text";
};

// One line per temperature: R_L in Ω (4 decimals), the resistance read in Ω (3) and the
// error in °C (3). Returns the worst status; throws a Failure for bad options.
int leads(const LeadsCommand& o, std::istream& in, LineWriter& out, std::ostream& err,
          const Say& say);

// The budget in o.format; throws a Failure for a request that cannot be answered.
int budget(const BudgetCommand& o, LineWriter& out, const Say& say);

}  // namespace kelvora::cli
