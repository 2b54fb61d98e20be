#include "platform/memory_status.h"
#include "support/fuzz_seed.h"
#include "support/temp_dir.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace pelorin {
namespace {

namespace fs = std::filesystem;

TEST(MemoryStatus, PhysicalMemoryFallsBackToFreePlusCachedWithoutMemAvailable) {
  const std::string meminfo =
      "MemTotal:  8000 kB\nMemFree:   1000 kB\nMemAvailable:    3000 kB\nCached: 500 kB\n";
  test::SaveFuzzSeed("platform_memory_status", "meminfo", meminfo);
  test::SaveFuzzSeed("platform_memory_status", "cgroup", "12:pids:/a\n4:memory:/a/b\n0::/a/b\n");
  EXPECT_EQ(MemInfoAvailable(meminfo), 3000u * 1024);
  // Kernels before 3.14 have no MemAvailable: every array was refused there.
  EXPECT_EQ(MemInfoAvailable("MemTotal:  8000 kB\nMemFree:   1000 kB\nBuffers: 7 kB\nCached:   500 kB\n"
                             "SwapCached: 9 kB\n"),
            1500u * 1024);
  EXPECT_EQ(MemInfoAvailable("MemTotal: 8000 kB\n"), std::nullopt);
  EXPECT_EQ(MemInfoAvailable(""), std::nullopt);
}

class CgroupRoom : public ::testing::Test {
protected:
  void Group(const std::string& folder, const std::string& limitFile, const std::string& limit,
             const std::string& usageFile, const std::string& usage, const std::string& stat) {
    fs::create_directories(dir.Path() / folder);
    dir.Write(folder + "/" + limitFile, limit + "\n");
    dir.Write(folder + "/" + usageFile, usage + "\n");
    dir.Write(folder + "/memory.stat", stat);
  }

  test::TempDir dir;
};

TEST_F(CgroupRoom, TheTightestGroupOnTheWayUpDecidesAndReclaimableCacheIsNotCounted) {
  // Version 2: the process's group allows 1000 MB with 300 MB used, 100 of it inactive file cache; its
  // parent allows 500 MB with 100 MB used.
  dir.Write("cgroup.controllers", "cpu memory\n");
  Group("box/job", "memory.max", "1000000000", "memory.current", "300000000",
        "anon 200000000\ninactive_file 100000000\nactive_file 0\n");
  Group("box", "memory.max", "500000000", "memory.current", "100000000", "inactive_file 0\n");
  const std::string root = dir.Path().string();
  EXPECT_EQ(CgroupMemoryRoom("0::/box/job\n", root), 400000000u);
  dir.Write("box/memory.max", "max\n");
  EXPECT_EQ(CgroupMemoryRoom("0::/box/job\n", root), 800000000u);
  // A group over its limit leaves no room at all.
  dir.Write("box/job/memory.current", "1200000000\n");
  EXPECT_EQ(CgroupMemoryRoom("0::/box/job\n", root), 0u);
  // No limit anywhere, or no such group below the mount: nothing known.
  dir.Write("box/job/memory.max", "max\n");
  EXPECT_EQ(CgroupMemoryRoom("0::/box/job\n", root), std::nullopt);
  EXPECT_EQ(CgroupMemoryRoom("", root), std::nullopt);
}

TEST_F(CgroupRoom, VersionOneMemoryControllerAndHostPathsOutsideTheMount) {
  Group("memory/jobs/one", "memory.limit_in_bytes", "2000000000", "memory.usage_in_bytes", "900000000",
        "cache 800000000\ntotal_inactive_file 400000000\ninactive_file 1\n");
  // The root reports the largest page-aligned value for "no limit".
  Group("memory", "memory.limit_in_bytes", "9223372036854771712", "memory.usage_in_bytes", "5", "");
  const std::string root = dir.Path().string();
  const std::string groups = "12:pids:/jobs/one\n4:memory:/jobs/one\n3:cpu,cpuacct:/jobs/one\n0::/\n";
  EXPECT_EQ(CgroupMemoryRoom(groups, root), 1500000000u);
  // A container may see the host's path of its group while its own group is mounted as the root.
  dir.Write("memory/memory.limit_in_bytes", "700000000\n");
  EXPECT_EQ(CgroupMemoryRoom("4:memory:/host/side/path\n", root), 699999995u);
  EXPECT_EQ(CgroupMemoryRoom("4:cpu,memory:/jobs/one\n", root), 699999995u);
  // A path that climbs out of the mount is not followed.
  EXPECT_EQ(CgroupMemoryRoom("4:memory:/../memory/jobs/one\n", root + "/memory"), std::nullopt);
}

TEST(MemoryStatus, ThisProcessesStatusIsRead) {
  const MemoryStatus status = GetMemoryStatus();
  EXPECT_GT(status.available, 0u);
  EXPECT_GT(status.used, 0u);
  EXPECT_GE(MappedBytes(), status.used);
}

} // namespace
} // namespace pelorin
