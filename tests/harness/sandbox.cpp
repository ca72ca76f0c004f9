#include "sandbox.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <linux/magic.h>
#include <net/if.h>
#include <pty.h>
#include <sched.h>
#include <set>
#include <sstream>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <termios.h>
#include <unistd.h>
#include <vector>

namespace sandbox {

static const std::string scratchDir = "/tmp/.boardns";
static std::set<std::string> writableDirs;
static int overlayCount = 0;

[[noreturn]] static void fail(const std::string& what) {
  fprintf(stderr, "boardns: %s: %s\n", what.c_str(), strerror(errno));
  exit(111);
}

static bool exists(const std::string& path) {
  struct stat st;
  return lstat(path.c_str(), &st) == 0;
}

static bool isDirectory(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

static std::string parentOf(const std::string& path) {
  size_t slash = path.find_last_of('/');
  if (slash == std::string::npos || slash == 0) return "/";
  return path.substr(0, slash);
}

static bool insidePrivateTmp(const std::string& path) { return path == "/tmp" || path.rfind("/tmp/", 0) == 0; }

static void mountOrFail(const char* source, const std::string& target, const char* type, unsigned long flags,
                        const std::string& options) {
  if (mount(source, target.c_str(), type, flags, options.empty() ? nullptr : options.c_str()) != 0)
    fail(std::string("mount ") + (type ? type : "bind") + " on " + target);
}

static void bringLoopbackUp() {
  int fd = socket(AF_INET, SOCK_DGRAM, 0);
  if (fd < 0) fail("socket for loopback");
  struct ifreq request = {};
  strncpy(request.ifr_name, "lo", IFNAMSIZ - 1);
  if (ioctl(fd, SIOCGIFFLAGS, &request) != 0) fail("read loopback flags");
  request.ifr_flags |= IFF_UP | IFF_RUNNING;
  if (ioctl(fd, SIOCSIFFLAGS, &request) != 0) fail("bring loopback up");
  close(fd);
}

static void privateDev() {
  makeWritable("/dev");
  // The overlay hides the machine's /dev/pts mount; a new instance keeps our
  // terminals apart from everyone else's.
  mountOrFail("devpts", "/dev/pts", "devpts", 0, "newinstance,ptmxmode=0666,mode=0620");
  if (exists("/dev/ptmx")) removePath("/dev/ptmx");
  if (symlink("pts/ptmx", "/dev/ptmx") != 0) fail("link /dev/ptmx");
  mountOrFail("tmpfs", "/dev/shm", "tmpfs", 0, "mode=1777");
  if (exists("/dev/mem")) removePath("/dev/mem");
}

// The folder directly under /tmp that holds `path`, or "" if it is elsewhere.
static std::string tmpTopOf(const std::string& path) {
  if (path.rfind("/tmp/", 0) != 0) return "";
  size_t end = path.find('/', 5);
  return path.substr(0, end);
}

// A checkout under /tmp must stay reachable once /tmp is replaced: the test
// and the programs it runs live there.
static std::vector<std::string> checkoutFoldersInTmp() {
  std::vector<std::string> folders;
  char path[4096];
  ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
  std::string exe = n > 0 ? std::string(path, size_t(n)) : "";
  std::string cwd = getcwd(path, sizeof path) ? path : "";
  for (const std::string& p : {exe, cwd}) {
    std::string top = tmpTopOf(p);
    if (!top.empty() && std::find(folders.begin(), folders.end(), top) == folders.end()) folders.push_back(top);
  }
  return folders;
}

static void freshTmp() {
  std::vector<std::string> keep = checkoutFoldersInTmp();
  std::vector<int> handles;
  for (const std::string& folder : keep) {
    int fd = open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) fail("open " + folder);
    handles.push_back(fd);
  }
  mountOrFail("tmpfs", "/tmp", "tmpfs", 0, "mode=1777");
  for (size_t i = 0; i < keep.size(); ++i) {
    if (mkdir(keep[i].c_str(), 0755) != 0) fail("create " + keep[i]);
    std::string handle = "/proc/self/fd/" + std::to_string(handles[i]);
    mountOrFail(handle.c_str(), keep[i], nullptr, MS_BIND | MS_REC, "");
    close(handles[i]);
  }
}

void enterPrivateBoard() {
  if (unshare(CLONE_NEWNS | CLONE_NEWNET) != 0)
    fail("cannot create private mount and network namespaces (run as root on a kernel with namespaces)");
  mountOrFail(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, "");
  bringLoopbackUp();
  freshTmp();
  if (mkdir(scratchDir.c_str(), 0700) != 0) fail("create " + scratchDir);
  writableDirs.insert("/tmp");
  privateDev();
}

void makeWritable(const std::string& dir) {
  if (insidePrivateTmp(dir) || writableDirs.count(dir)) return;
  struct statfs fs;
  if (statfs(dir.c_str(), &fs) != 0) fail("statfs " + dir);
  if (fs.f_type == SYSFS_MAGIC || fs.f_type == PROC_SUPER_MAGIC) {
    // Kernel file systems cannot be overlaid; an empty tmpfs stands in.
    mountOrFail("tmpfs", dir, "tmpfs", 0, "mode=0755");
  } else {
    std::string layer = scratchDir + "/overlay" + std::to_string(overlayCount++);
    if (mkdir(layer.c_str(), 0700) != 0 || mkdir((layer + "/upper").c_str(), 0755) != 0 ||
        mkdir((layer + "/work").c_str(), 0700) != 0)
      fail("create overlay layer for " + dir);
    mountOrFail("overlay", dir, "overlay", 0,
                "lowerdir=" + dir + ",upperdir=" + layer + "/upper,workdir=" + layer + "/work");
  }
  writableDirs.insert(dir);
}

static void ensureDirectory(const std::string& dir) {
  if (isDirectory(dir)) {
    makeWritable(dir);
    return;
  }
  std::string parent = parentOf(dir);
  ensureDirectory(parent);
  if (mkdir(dir.c_str(), 0755) != 0) fail("create " + dir);
  writableDirs.insert(dir);
}

void writeFile(const std::string& path, std::string_view content, unsigned mode) {
  ensureDirectory(parentOf(path));
  int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, mode);
  if (fd < 0) fail("create " + path);
  size_t done = 0;
  while (done < content.size()) {
    ssize_t n = write(fd, content.data() + done, content.size() - done);
    if (n <= 0) fail("write " + path);
    done += size_t(n);
  }
  fchmod(fd, mode);
  close(fd);
}

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void removePath(const std::string& path) {
  while (umount2(path.c_str(), MNT_DETACH) == 0) {
  }
  if (!exists(path)) return;
  makeWritable(parentOf(path));
  if (remove(path.c_str()) != 0) fail("remove " + path);
}

void bindOver(const std::string& source, const std::string& target) {
  if (!exists(target)) {
    if (isDirectory(source)) {
      ensureDirectory(parentOf(target));
      if (mkdir(target.c_str(), 0755) != 0) fail("create " + target);
    } else {
      writeFile(target, "");
    }
  }
  mountOrFail(source.c_str(), target, nullptr, MS_BIND, "");
}

void provideDevMem(uint64_t size) {
  std::string backing = scratchDir + "/devmem";
  int fd = open(backing.c_str(), O_RDWR | O_CREAT | O_TRUNC, 0600);
  if (fd < 0 || ftruncate(fd, off_t(size)) != 0) fail("create sparse " + backing);
  close(fd);
  bindOver(backing, "/dev/mem");
}

uint32_t devMemWord(uint32_t physical) {
  uint32_t word = 0;
  int fd = open("/dev/mem", O_RDONLY | O_CLOEXEC);
  if (fd < 0 || pread(fd, &word, 4, physical) != 4) fail("read /dev/mem");
  close(fd);
  return word;
}

void setDevMemWord(uint32_t physical, uint32_t word) {
  int fd = open("/dev/mem", O_WRONLY | O_CLOEXEC);
  if (fd < 0 || pwrite(fd, &word, 4, physical) != 4) fail("write /dev/mem");
  close(fd);
}

Pty openPty() {
  int master = -1, slave = -1;
  char name[128];
  if (openpty(&master, &slave, name, nullptr, nullptr) != 0) fail("openpty");
  struct termios mode;
  tcgetattr(slave, &mode);
  cfmakeraw(&mode);
  tcsetattr(slave, TCSANOW, &mode);
  fcntl(master, F_SETFD, FD_CLOEXEC);
  fcntl(slave, F_SETFD, FD_CLOEXEC);
  // The slave stays open here so that the master never reads EIO between the
  // program's opens and closes of its end.
  return Pty{master, name};
}

}  // namespace sandbox
