// The settings file at start (17 standalone reads) and at the end (all
// keys in one atomic replacement), on a local disk in the temp folder.
#include <benchmark/benchmark.h>

#include <string>
#include <utility>
#include <vector>

#include "settings/main_settings.h"
#include "settings/sender_record.h"
#include "tests/support/scratch_folder.h"

namespace {

MainSettings typical() {
    MainSettings m;
    m.senderName = "Sender name";
    m.senderZip = "105-0004";
    m.senderAddress1 = "Tokyo Minato 1-2-3";
    m.zip = "100-0001";
    m.address1 = "Tokyo Chiyoda 1-1";
    m.consignee = "Consignee";
    m.tel = "03-1234-5678";
    m.goods1 = "Goods";
    return m;
}

void BM_SettingsReadAtStart(benchmark::State& state) {
    ScratchFolder dir;
    IniFile ini(dir.file(kSettingsFileName));
    writeMainSettings(ini, typical());
    for (auto _ : state) benchmark::DoNotOptimize(readMainSettings(ini));
}
BENCHMARK(BM_SettingsReadAtStart)->Unit(benchmark::kMillisecond);

// A realistic settings file of a shop that has used the program for a
// while (the window's keys, a shared database, the carrier, a few hand-made
// sections), read key by key as the start and a command do: the main
// window's 17 keys plus the shared database's and the carrier's.
void BM_SettingsReadManyKeys(benchmark::State& state) {
    ScratchFolder dir;
    IniFile ini(dir.file(kSettingsFileName));
    writeMainSettings(ini, typical());
    ini.writeStrings("SharedDatabase", {{"Conninfo", "host=db.example dbname=pelican user=station1"}});
    ini.writeStrings("Shipping", {{"Carrier", "Nippon Express"}, {"Service", "Pelican"}});
    for (int s = 0; s < 20; ++s) {
        std::vector<std::pair<std::string, std::string>> keys;
        for (int k = 0; k < 10; ++k) keys.emplace_back("Key" + std::to_string(k), std::string(40, 'v'));
        ini.writeStrings("Extra" + std::to_string(s), keys);
    }
    const std::string path = ini.path();
    for (auto _ : state) {
        const IniFile fresh(path);  // one command or one opening of a window
        benchmark::DoNotOptimize(readMainSettings(fresh));
        benchmark::DoNotOptimize(fresh.readString("SharedDatabase", "Conninfo", ""));
        benchmark::DoNotOptimize(fresh.readString("Shipping", "Carrier", ""));
        benchmark::DoNotOptimize(fresh.readString("Shipping", "Service", ""));
    }
}
BENCHMARK(BM_SettingsReadManyKeys)->Unit(benchmark::kMicrosecond);

void BM_SettingsWriteAtEnd(benchmark::State& state) {
    ScratchFolder dir;
    IniFile ini(dir.file(kSettingsFileName));
    const MainSettings m = typical();
    for (auto _ : state) writeMainSettings(ini, m);
}
BENCHMARK(BM_SettingsWriteAtEnd)->Unit(benchmark::kMillisecond);

// For comparison: the same keys as 17 standalone atomic writes, each with
// its own flush to disk.
void BM_SettingsWrite17Standalone(benchmark::State& state) {
    ScratchFolder dir;
    IniFile ini(dir.file(kSettingsFileName));
    const MainSettings m = typical();
    for (auto _ : state) {
        ini.writeInteger(kSettingsSection, "Addr_Font", m.printSize);
        for (const char* key : {"E_ZIP", "E_AD1", "E_AD2", "E_CUS", "E_TEL", "E_G1", "E_G2", "E_G3", "KOSUU3",
                                "OP023My", "OP023MyZip", "OP023MyADD1", "OP023MyADD2", "OP023MyTEL"})
            ini.writeString(kSettingsSection, key, m.zip);
        ini.writeInteger(kSettingsSection, "ComboBox_SEL", m.feedMode);
        ini.writeInteger(kSettingsSection, "Tab_My", m.senderTab);
    }
}
BENCHMARK(BM_SettingsWrite17Standalone)->Unit(benchmark::kMillisecond);

void BM_SenderRecordSaveAndLoad(benchmark::State& state) {
    ScratchFolder dir;
    const std::string path = dir.file(senderRecordFileName(0));
    const SenderRecord r{"105-0004", "Tokyo Minato 1-2-3", "Building 4F", "Sender name", "03-1234-5678"};
    for (auto _ : state) {
        writeSenderRecord(path, r);
        benchmark::DoNotOptimize(readSenderRecord(path));
    }
}
BENCHMARK(BM_SenderRecordSaveAndLoad)->Unit(benchmark::kMillisecond);

}  // namespace
