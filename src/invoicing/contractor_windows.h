#pragma once
// The contractor windows: Form4 (payment summary of equipment usage), Form8
// (contractor invoice) and Form10 (contractor debits).

namespace quillon {

class App;

void registerContractorWindows(App& app);

}  // namespace quillon
