// Saving the alarm store to a real registry file, against the floor of writing the same
// values with plain prepared SQLite statements in one transaction.
#include <benchmark/benchmark.h>
#include <sqlite3.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "alarm/AlarmStore.h"
#include "bench/BenchDevice.h"
#include "alarm/AlarmTime.h"
#include "platform/base/Format.h"
#include "platform/fs/Device.h"
#include "platform/registry/Registry.h"
#include "platform/shell/LaunchCommand.h"
#include "platform/ui/WinApp.h"

namespace {

AlarmEntry Alarm(int i) {
    return {Format("\\My Documents\\Quillo\\2026-12-07 10.%02d.%02d.bmp", i / 60 % 60, i % 60),
            MakeSpan(2026, 12, 1 + i % 28, i / 60 % 24, i % 60, 0), AlarmRepeat::Daily, "Bell",
            i % 2};
}

void BM_AlarmStoreSave(benchmark::State& state) {
    BenchDevice device;
    CWinApp app("quillo");
    app.SetRegistryKey("Vornak");
    CAlarmStore store;
    // Setting an alarm asks the system for a launch; here nothing answers.
    SetLaunchCommandRunner([](const LaunchCommand&) { return LaunchCommandResult{127, ""}; });
    for (int i = 0; i < state.range(0); ++i) {
        const AlarmEntry e = Alarm(i);
        store.SetAlarm(e.FileName, e.Time, e.Repeat, e.WaveFile, e.WaveRepeat);
    }
    for (auto _ : state) store.Save();
    state.SetItemsProcessed(state.iterations() * (1 + 5 * state.range(0)));
    SetLaunchCommandRunner(nullptr);
}
BENCHMARK(BM_AlarmStoreSave)->Arg(1)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);

// The same 1 + 5n rows in the registry's own table, bound and stepped with nothing else.
void BM_AlarmStoreSaveFloor(benchmark::State& state) {
    BenchDevice device;
    CWinApp app("quillo");
    app.GetRegistry();  // makes the file with its table, as the store's benchmark has it
    sqlite3* db = nullptr;
    sqlite3_open(Device::RegistryFile().c_str(), &db);
    sqlite3_stmt* write = nullptr;
    sqlite3_prepare_v2(db,
                       "INSERT INTO registry(hive, key, name, type, value) VALUES(?1, ?2, ?3, "
                       "?4, ?5) ON CONFLICT(hive, key, name) DO UPDATE SET type = excluded.type, "
                       "value = excluded.value",
                       -1, &write, nullptr);
    const std::string key = "Software\\Vornak\\quillo\\MemoNotify";
    const auto put = [&](const std::string& name, const RegistryValue& value) {
        sqlite3_bind_text(write, 1, "HKCU", -1, SQLITE_STATIC);
        sqlite3_bind_text(write, 2, key.c_str(), static_cast<int>(key.size()), SQLITE_STATIC);
        sqlite3_bind_text(write, 3, name.c_str(), static_cast<int>(name.size()), SQLITE_STATIC);
        if (const auto* text = std::get_if<std::string>(&value)) {
            sqlite3_bind_int(write, 4, 1);
            sqlite3_bind_text(write, 5, text->c_str(), static_cast<int>(text->size()),
                              SQLITE_TRANSIENT);
        } else {
            sqlite3_bind_int(write, 4, 4);
            sqlite3_bind_int64(write, 5, std::get<int32_t>(value));
        }
        sqlite3_step(write);
        sqlite3_reset(write);
    };
    const int count = static_cast<int>(state.range(0));
    for (auto _ : state) {
        sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
        put("Count", count);
        for (int i = 0; i < count; ++i) {
            const AlarmEntry e = Alarm(i);
            put(Format("FileName%02d", i), e.FileName);
            put(Format("Time%02d", i), FormatAlarmTime(e.Time));
            put(Format("Repeat%02d", i), static_cast<int32_t>(e.Repeat));
            put(Format("WaveFile%02d", i), e.WaveFile);
            put(Format("WaveRepeat%02d", i), e.WaveRepeat);
        }
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    }
    state.SetItemsProcessed(state.iterations() * (1 + 5 * count));
    sqlite3_finalize(write);
    sqlite3_close(db);
}
BENCHMARK(BM_AlarmStoreSaveFloor)->Arg(1000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
