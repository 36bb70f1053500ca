// The errors a plant adds between a sensor and its instrument, and a measurement's uncertainty
// budget, as every front end gives them: the leads of a resistance thermometer, the cable
// class of a thermocouple, and the budget's rows (GUM, JCGM 100:2008) with their sensitivities
// from the core, u_c, k and U, and the known biases it reports as corrections.
//
// Requests arrive as numbers and texts already read (kelvora-cli reads its options' numbers,
// Python passes its own); a request that cannot be answered throws a Failure whose message
// names the options as kelvora-cli spells them: status 2 (kExitUsage) for a bad request, 1
// (kExitOutOfRange) for a temperature outside a sensor's, a class's, a cable's or a
// transmitter's range.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "answers/messages.hpp"
#include "core/cable.hpp"
#include "core/leads.hpp"
#include "core/sensor.hpp"
#include "core/tolerance.hpp"
#include "core/uncertainty.hpp"

namespace kelvora::answers {

// ---- Tolerance classes ---------------------------------------------------------------------

// A tolerance class as `tol --class C [--element wire|film]` and `budget --class` take it.
struct ClassChoice {
    core::ToleranceClass cls;
    core::Element element;
    std::string label;  // "1", "A (wire-wound)", "AA (film)", for messages
};

// The class of the texts for sensor s; a usage failure for an unknown class, an element on a
// sensor that is not platinum, or a class s has not (naming those it has).
ClassChoice resolveClass(const core::Sensor& s, const std::optional<std::string>& cls,
                         const std::optional<std::string>& element, const Say& say);

// The tolerance in °C at t; status 1 outside the class's range, which the message names.
double classTolerance(const core::Sensor& s, double t, std::string_view tText, const ClassChoice& c,
                      const Say& say);

// ---- Leads ---------------------------------------------------------------------------------

// A resistance thermometer's leads as `leads` and `budget --leads` take them: the wiring, and
// each lead's resistance given (ohms) or made from copper of length (m) and cross-section
// (area in mm², or awg) at the cable's temperature `at` (°C); imbalance is three-wire
// wiring's difference between its two leads in Ω.
struct LeadOptions {
    std::optional<double> wires;  // 2, 3 or 4
    std::optional<double> ohms, length, area, awg;
    double at = 20;
    double imbalance = 0;
};

struct Leads {
    core::Wiring wiring;
    double leadOhm;       // R_L
    double imbalanceOhm;  // ΔR
};

// The leads of the options for sensor s; a usage failure for a thermocouple (whose
// high-impedance reading no lead resistance enters), a wiring other than 2, 3 or 4, the lead
// given neither or both ways, a length without a cross-section or both, a length, area or
// resistance not above 0, a gauge outside 0…40, or a cable temperature below copper's.
Leads resolveLeads(const core::Sensor& s, const LeadOptions& o, const Say& say);

struct LeadAnswer {
    double leadOhm;     // R_L, Ω
    double readingOhm;  // what the instrument reads, Ω
    double errorC;      // the temperature of that reading minus t, °C
};

// The leads' answer at t °C; status 1 when t is outside the sensor's range or the reading
// beyond its resistances.
LeadAnswer leadAnswer(const core::Sensor& s, double t, const Leads& leads, const Say& say);

// ---- Cables --------------------------------------------------------------------------------

// A cable and class as written "NAME:CLASS" (KX:2), checked against thermocouple s: a usage
// failure for another form, an unknown cable, one of another thermocouple type, or a class
// the cable has not.
struct CableChoice {
    core::Cable cable;
    core::CableClass cls;
    double toleranceUv;
};
CableChoice resolveCable(const core::Sensor& s, const std::string& text, const Say& say);

// The tolerance in µV of a cable by name and class (1 or 2) alone, for Python's
// cable_tolerance; a usage failure as resolveCable's.
double cableToleranceUv(const std::string& name, int cls, const Say& say);

// ---- The budget ----------------------------------------------------------------------------

// A --row: NAME,VALUE,UNIT,DIST with UNIT C, mV, uV or ohm and DIST rect, tri, normal:K or std.
struct RowOption {
    std::string name;
    double value;
    std::string unit;
    std::string distribution;
};

struct BudgetRequest {
    double t = 0;
    std::optional<std::string> cls, element;  // --class, --element
    std::optional<double> cjError, cj;        // --cj-error E, --cj T
    std::optional<std::string> cable;         // --cable NAME:CLASS
    std::optional<double> cableAt;            // --cable-at T (default: the reference junction's)
    std::optional<double> meterPct;           // --meter PCT[,ABS]
    double meterAbs = 0;
    std::optional<LeadOptions> leads;           // --leads
    std::optional<double> transmitterPct;       // --transmitter PCT
    std::optional<double> rangeLow, rangeHigh;  // --range LRV,URV
    std::vector<RowOption> rows;
    double k = 2;
};

struct BudgetRow {
    std::string name;  // class, cj, cable, meter, transmitter, or a --row's
    core::Contribution contribution;
    double divisor;
    double uC;        // u_i, °C
    double sharePct;  // of u_c²
};

struct Correction {
    std::string name;  // leads
    double valueC;     // to add to the reading's temperature
};

struct BudgetSheet {
    core::Sensor sensor;
    double t;
    std::vector<BudgetRow> rows;
    double uC, k, expandedC;
    std::vector<Correction> corrections;
};

// The budget of the request for sensor s at request.t, rows in the order class, cj, cable,
// meter, transmitter, then the --rows as given.
BudgetSheet budgetSheet(const core::Sensor& s, const BudgetRequest& request, const Say& say);

// "rect", "tri", "normal:2", "std": a row's distribution as it is written.
std::string distributionText(const core::Contribution& c);

}  // namespace kelvora::answers
