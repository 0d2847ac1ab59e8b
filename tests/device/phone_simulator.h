// The phone simulator of the tests (adb_simulator.sh) set up in a folder of
// its own and put in adb's place (SKINWRIGHT_ADB) while this object lives.
#pragma once

#include <string>
#include <vector>

namespace sw::test {

class PhoneSimulator {
  public:
    // The default phone when no list of phones is given.
    static constexpr const char* kSerial = "SIM001";

    // folder must exist; the simulator keeps its state there.
    explicit PhoneSimulator(const std::string& folder);
    PhoneSimulator(const PhoneSimulator&) = delete;
    PhoneSimulator& operator=(const PhoneSimulator&) = delete;
    // Puts the earlier SKINWRIGHT_ADB back.
    ~PhoneSimulator();

    // The script's path.
    const std::string& program() const { return program_; }

    // The phones attached, as "SERIAL\tSTATE" lines ("" for none).
    void SetPhones(const std::string& lines) const;
    // Makes an operation (devices, push, pull, install, rm, force-stop,
    // monkey) fail or never end.
    void FailOn(const std::string& operation) const;
    void HangOn(const std::string& operation) const;
    // Makes an operation take two seconds.
    void SlowOn(const std::string& operation) const;
    // Makes a push lose one file on the way and still end well.
    void LoseFileOn(const std::string& operation) const;
    // Lets every operation work again.
    void Heal() const;

    // Every call so far: its arguments after the program.
    std::vector<std::vector<std::string>> Calls() const;
    void ClearCalls() const;

    // The root of a phone's storage ("sdcard/..." lies below it).
    std::string PhoneRoot(const std::string& serial = kSerial) const;

  private:
    std::string folder_;
    std::string program_;
    std::string previous_;
    bool had_previous_ = false;
};

// Every file below folder as its relative path and contents, sorted by path.
std::vector<std::pair<std::string, std::string>> FilesBelow(const std::string& folder);

}  // namespace sw::test
