// Which functions of a machine file come without their first row, the one
// holding the vendor and device IDs. `lspci -vvv`, `-nn` or `-mm` print
// function headers and no rows at all; such a function reads as all zeros,
// which a scan takes for an empty slot. A file with no ID row at all is
// refused; a file where some functions lack it loads with a note.
#ifndef QUOREL_SIM_ID_ROWS_H
#define QUOREL_SIM_ID_ROWS_H

#include <string>
#include <vector>

namespace quorel::sim {

class IdRows {
public:
    // A function header: the function's rows follow. `simulated`: of
    // domain 0000, not left out.
    void Function(const std::string& name, bool simulated);
    // A row of the current function came: `offset` 0 holds its IDs.
    void Row(unsigned offset) {
        any_rows_ = true;
        current_has_ids_ = current_has_ids_ || offset == 0;
    }
    // After the last line. Throws LineError when functions were listed but
    // none with its ID row.
    void Check();
    // Empty, or which simulated functions lack their ID row and what to do.
    std::string Note() const;

private:
    void EndFunction();

    bool any_rows_ = false;
    size_t functions_ = 0;
    size_t without_ids_ = 0;                 // of every domain
    std::vector<std::string> simulated_without_ids_;
    std::string current_;
    bool current_simulated_ = false;
    bool current_has_ids_ = true;            // nothing to count before the first header
};

}  // namespace quorel::sim

#endif  // QUOREL_SIM_ID_ROWS_H
