// `quorel doctor` natively over Linux sysfs: whether the tree can be read,
// the kernel's lockdown, and per card who may open its files and which
// kernel driver holds it.
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "cli.h"
#include "doctor/platform.h"
#include "driver_binding.h"
#include "settings/settings.h"

namespace doctor {

namespace {

namespace fs = std::filesystem;

// Where the sysfs backend looks, as it says.
const std::string& Root() {
    static const std::string root = driver_binding::Describe().what;
    return root;
}

std::string DevicesDir() { return Root() + quorel::settings::kSysfsFunctionsFolder; }

std::string FunctionDir(const quorel::inspect::Location& at) {
    return DevicesDir() + "/0000:" + cli::AddressText(at);
}

// The bracketed word of <root>/kernel/security/lockdown ("[none] integrity
// confidentiality"); "" when the kernel has no such file.
std::string LockdownState() {
    std::ifstream in(Root() + "/kernel/security/lockdown");
    std::string line;
    if (!std::getline(in, line))
        return "";
    const size_t open = line.find('['), close = line.find(']');
    return open != std::string::npos && close > open ? line.substr(open + 1, close - open - 1) : line;
}

std::string NameOf(uid_t uid, gid_t gid) {
    const passwd* user = getpwuid(uid);
    const group* grp = getgrgid(gid);
    return (user ? user->pw_name : std::to_string(uid)) + ":" + (grp ? grp->gr_name : std::to_string(gid));
}

// "-rw------- root:root, this user may read and write"; "missing".
std::string FileText(const std::string& path, bool& usable, int need) {
    struct stat st {};
    usable = false;
    if (stat(path.c_str(), &st) != 0)
        return "missing";
    const char* kinds = "rwxrwxrwx";
    std::string mode = S_ISREG(st.st_mode) ? "-" : "?";
    for (int bit = 0; bit < 9; ++bit)
        mode += (st.st_mode & (0400 >> bit)) ? kinds[bit] : '-';
    usable = access(path.c_str(), need) == 0;
    return mode + " " + NameOf(st.st_uid, st.st_gid) + ", this user may " +
           (usable ? "" : "not ") + (need & W_OK ? "read and write it" : "read it");
}

std::string BoundDriver(const quorel::inspect::Location& at) {
    std::error_code code;
    const fs::path target = fs::read_symlink(FunctionDir(at) + "/driver", code);
    return code ? "none" : target.filename().string();
}

}  // namespace

std::string AddPlatformSections(Report& report) {
    report.Add("driver_access_library").facts
        .Text("kind", "sysfs, linked in: this machine's own PCI bus")
        .Flag("stand_in", false);
    std::error_code code;
    long long functions = 0;
    for (fs::directory_iterator it(DevicesDir(), code), end; !code && it != end; it.increment(code))
        ++functions;
    const std::string lockdown = LockdownState();
    FactList& facts = report.Add("sysfs").facts;
    facts.Text("root", Root())
        .Text("readable", code ? "no: " + DevicesDir() + ": " + code.message()
                               : "yes, " + std::to_string(functions) + " entries in " + DevicesDir())
        .Text("lockdown", lockdown.empty() ? "not reported (no kernel/security/lockdown)" : lockdown);
    return code ? DevicesDir() + " cannot be read: " + code.message() : "";
}

std::string AddCardPlatformFacts(FactList& card, const quorel::inspect::Function& function) {
    bool config_ok = false, window_ok = false;
    const std::string dir = FunctionDir(function);
    card.Text("config", FileText(dir + "/config", config_ok, R_OK))
        .Text("resource0", FileText(dir + "/resource0", window_ok, R_OK | W_OK))
        .Text("kernel_driver", BoundDriver(function));
    return window_ok ? "" : "this user cannot open " + dir + "/resource0 for reading and writing";
}

std::string PlatformHint() {
    const std::string lockdown = LockdownState();
    if (lockdown.empty() || lockdown == "none")
        return "";
    return "the kernel is in lockdown (" + lockdown + "), which refuses user mappings of PCI memory";
}

}  // namespace doctor
