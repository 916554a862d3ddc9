/* A stand-in for the kernel's parallel-port drivers, loaded with LD_PRELOAD
 * under the port tests, so that the real ppdev code of both programs runs
 * without hardware.
 *
 * - /proc/sys/dev/parport is read from DUPLANE_STANDIN_PROC instead: the test
 *   builds the tree (parportN/base-addr, parportN/modes, parportN/devices/).
 * - /dev/parportN exists exactly when the fake tree has parportN. Its data
 *   and status registers are one end (DUPLANE_STANDIN_END, 0 or 1) of the
 *   virtual cable file DUPLANE_STANDIN_CABLE, with the cable's wiring; or,
 *   with DUPLANE_STANDIN_LOOPBACK set to five digits, a loopback plug on the
 *   same port: status bit 3+i shows data bit LOOPBACK[i] ("01234" is a plug
 *   wired right, "10234" one with the first two wires swapped).
 * - The claim behaves as the kernel's: PPEXCL only marks the next PPCLAIM;
 *   an exclusive PPCLAIM fails with ENXIO while another driver is registered
 *   on the port (a directory besides "active" under parportN/devices), a plain
 *   one while devices/active names someone else.
 * - DUPLANE_STANDIN_WIRING, five digits as for a loopback plug: the cable's
 *   status line i shows the other end's data line WIRING[i].
 * - DUPLANE_STANDIN_TEAR=1: the first status read after the other end changed
 *   its strobe and its nibble shows the new strobe with the old nibble, as a
 *   real cable's wires, which do not all switch at the same instant, can.
 * - DUPLANE_STANDIN_FAIL=PPRSTATUS: every status read fails with EIO.
 * - ioperm and iopl always fail with EPERM: no test touches real I/O ports.
 * - DUPLANE_STANDIN_LOG, when set, gets one line per open, claim and ioperm.
 */
#define _GNU_SOURCE
#include <dirent.h>
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <linux/ppdev.h>
#include <sched.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/ioctl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#define PROC_ROOT "/proc/sys/dev/parport"
#define DEV_PREFIX "/dev/parport"
#define MAX_FDS 1024
#define CABLE_SIZE 4096

struct fake_port {
  int in_use;
  int index;
  int exclusive_asked;
  int claimed;
  unsigned char data; /* our own data register (loopback) */
  unsigned char *map; /* the mapped cable file, or NULL for a loopback plug */
  unsigned char *own;
  unsigned char *other;
  unsigned char last_other; /* the other end's byte at the last status read */
  unsigned char last_status;
  unsigned same_reads;
  char loopback[6];
};

static struct fake_port ports[MAX_FDS];

static void *next_symbol(const char *name) { return dlsym(RTLD_NEXT, name); }

static void say(const char *format, ...) {
  const char *path = getenv("DUPLANE_STANDIN_LOG");
  if (path == NULL || *path == '\0') return;
  int (*real_open)(const char *, int, ...) = next_symbol("open");
  int fd = real_open(path, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) return;
  char line[512];
  va_list args;
  va_start(args, format);
  int n = vsnprintf(line, sizeof line - 1, format, args);
  va_end(args);
  if (n > (int)sizeof line - 2) n = (int)sizeof line - 2;
  line[n++] = '\n';
  ssize_t ignored = write(fd, line, (size_t)n);
  (void)ignored;
  close(fd);
}

/* The fake tree's path for a path under /proc/sys/dev/parport, else NULL. */
static const char *redirect(const char *path, char *buffer, size_t size) {
  const char *root = getenv("DUPLANE_STANDIN_PROC");
  const size_t len = strlen(PROC_ROOT);
  if (root == NULL || path == NULL || strncmp(path, PROC_ROOT, len) != 0) return NULL;
  if (path[len] != '\0' && path[len] != '/') return NULL;
  snprintf(buffer, size, "%s%s", root, path + len);
  return buffer;
}

/* N for "/dev/parportN", else -1. */
static int device_index(const char *path) {
  const size_t len = strlen(DEV_PREFIX);
  if (path == NULL || strncmp(path, DEV_PREFIX, len) != 0 || path[len] == '\0') return -1;
  char *end = NULL;
  long n = strtol(path + len, &end, 10);
  return (*end == '\0' && n >= 0 && n < 256) ? (int)n : -1;
}

static int fake_tree_has(int index, const char *what) {
  const char *root = getenv("DUPLANE_STANDIN_PROC");
  if (root == NULL) return 0;
  char path[1024];
  snprintf(path, sizeof path, "%s/parport%d%s", root, index, what);
  struct stat st;
  return stat(path, &st) == 0;
}

/* Another driver registered on the port: any entry of devices/ but "active". */
static int other_driver_registered(int index) {
  const char *root = getenv("DUPLANE_STANDIN_PROC");
  char path[1024];
  snprintf(path, sizeof path, "%s/parport%d/devices", root ? root : "", index);
  DIR *(*real_opendir)(const char *) = next_symbol("opendir");
  DIR *dir = real_opendir(path);
  if (dir == NULL) return 0;
  int found = 0;
  for (struct dirent *e; (e = readdir(dir)) != NULL;) {
    if (strcmp(e->d_name, ".") && strcmp(e->d_name, "..") && strcmp(e->d_name, "active")) found = 1;
  }
  closedir(dir);
  return found;
}

static int port_active_elsewhere(int index) {
  const char *root = getenv("DUPLANE_STANDIN_PROC");
  char path[1024];
  snprintf(path, sizeof path, "%s/parport%d/devices/active", root ? root : "", index);
  FILE *in = fopen(path, "re");
  if (in == NULL) return 0;
  char name[64] = "";
  int got = fscanf(in, "%63s", name);
  fclose(in);
  return got == 1 && strcmp(name, "none") != 0;
}

static int attach_cable(struct fake_port *port) {
  const char *loopback = getenv("DUPLANE_STANDIN_LOOPBACK");
  if (loopback != NULL && strlen(loopback) == 5) {
    memcpy(port->loopback, loopback, 6);
    return 0;
  }
  const char *path = getenv("DUPLANE_STANDIN_CABLE");
  const char *end_text = getenv("DUPLANE_STANDIN_END");
  if (path == NULL) return -1;
  const int end = end_text != NULL && atoi(end_text) == 1;
  int (*real_open)(const char *, int, ...) = next_symbol("open");
  int fd = real_open(path, O_RDWR | O_CREAT | O_CLOEXEC, 0666);
  if (fd < 0) return -1;
  struct stat st;
  if (fstat(fd, &st) != 0 || (st.st_size < CABLE_SIZE && ftruncate(fd, CABLE_SIZE) != 0)) {
    close(fd);
    return -1;
  }
  unsigned char *map = mmap(NULL, CABLE_SIZE, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
  close(fd);
  if (map == MAP_FAILED) return -1;
  port->map = map;
  port->own = map + (end ? 64 : 0);
  port->other = map + (end ? 0 : 64);
  port->last_other = __atomic_load_n(port->other, __ATOMIC_ACQUIRE);
  return 0;
}

static int open_device(const char *path, int index) {
  if (!fake_tree_has(index, "")) {
    errno = ENOENT;
    return -1;
  }
  int (*real_open)(const char *, int, ...) = next_symbol("open");
  int fd = real_open("/dev/null", O_RDWR | O_CLOEXEC);
  if (fd < 0) return -1;
  if (fd >= MAX_FDS) {
    close(fd);
    errno = EMFILE;
    return -1;
  }
  struct fake_port *port = &ports[fd];
  memset(port, 0, sizeof *port);
  port->index = index;
  if (attach_cable(port) != 0) {
    close(fd);
    errno = EIO;
    return -1;
  }
  port->in_use = 1;
  say("open %s", path);
  return fd;
}

static int open_common(const char *path, int flags, mode_t mode,
                       int (*real)(const char *, int, ...)) {
  char buffer[1024];
  const int index = device_index(path);
  if (index >= 0) return open_device(path, index);
  const char *fake = redirect(path, buffer, sizeof buffer);
  return real(fake ? fake : path, flags, mode);
}

static mode_t mode_of(int flags, va_list args) {
  return (flags & (O_CREAT | O_TMPFILE)) ? (mode_t)va_arg(args, int) : 0;
}

int open(const char *path, int flags, ...) {
  va_list args;
  va_start(args, flags);
  mode_t mode = mode_of(flags, args);
  va_end(args);
  return open_common(path, flags, mode, next_symbol("open"));
}

int open64(const char *path, int flags, ...) {
  va_list args;
  va_start(args, flags);
  mode_t mode = mode_of(flags, args);
  va_end(args);
  return open_common(path, flags, mode, next_symbol("open64"));
}

int __open_2(const char *path, int flags) {
  return open_common(path, flags, 0, next_symbol("open"));
}

int __open64_2(const char *path, int flags) {
  return open_common(path, flags, 0, next_symbol("open64"));
}

static int openat_common(int dirfd, const char *path, int flags, mode_t mode, const char *name) {
  int (*real)(int, const char *, int, ...) = next_symbol(name);
  char buffer[1024];
  if (path != NULL && path[0] == '/') {
    const int index = device_index(path);
    if (index >= 0) return open_device(path, index);
    const char *fake = redirect(path, buffer, sizeof buffer);
    if (fake) path = fake;
  }
  return real(dirfd, path, flags, mode);
}

int openat(int dirfd, const char *path, int flags, ...) {
  va_list args;
  va_start(args, flags);
  mode_t mode = mode_of(flags, args);
  va_end(args);
  return openat_common(dirfd, path, flags, mode, "openat");
}

int openat64(int dirfd, const char *path, int flags, ...) {
  va_list args;
  va_start(args, flags);
  mode_t mode = mode_of(flags, args);
  va_end(args);
  return openat_common(dirfd, path, flags, mode, "openat64");
}

DIR *opendir(const char *path) {
  DIR *(*real)(const char *) = next_symbol("opendir");
  char buffer[1024];
  const char *fake = redirect(path, buffer, sizeof buffer);
  return real(fake ? fake : path);
}

int close(int fd) {
  int (*real)(int) = next_symbol("close");
  if (fd >= 0 && fd < MAX_FDS && ports[fd].in_use) {
    ports[fd].in_use = 0;
    if (ports[fd].map != NULL) munmap(ports[fd].map, CABLE_SIZE);
  }
  return real(fd);
}

int ioperm(unsigned long from, unsigned long num, int turn_on) {
  (void)num;
  if (turn_on) say("ioperm 0x%lX", from);
  errno = EPERM;
  return -1;
}

int iopl(int level) {
  say("iopl %d", level);
  errno = EPERM;
  return -1;
}

/* Same wiring as the virtual cable; bits 0-2 read 1 as on most real ports. */
static unsigned char status_of(unsigned char d) {
  return (unsigned char)(((d & 0x0F) << 3) | ((d & 0x10) ? 0x00 : 0x80) | 0x07);
}

/* Line i of five shows line wiring[i] of `d` (a digit), or stays low. */
static unsigned char rewired(const char *wiring, unsigned char d) {
  if (wiring == NULL || strlen(wiring) != 5) return d & 0x1F;
  unsigned char seen = 0;
  for (int i = 0; i < 5; ++i) {
    const int from = wiring[i] - '0';
    if (from >= 0 && from < 5 && ((d >> from) & 1)) seen |= (unsigned char)(1 << i);
  }
  return seen;
}

/* Polling ends give up the processor after long runs of the same value, as
 * the virtual cable's own ends do. */
static void pace(struct fake_port *port, unsigned char status) {
  if (status != port->last_status) {
    port->last_status = status;
    port->same_reads = 0;
  } else if (++port->same_reads >= 200) {
    if (port->same_reads >= 20000) {
      struct timespec nap = {0, 5000};
      nanosleep(&nap, NULL);
    } else if (port->same_reads % 200 == 0) {
      sched_yield();
    }
  }
}

static unsigned char read_status(struct fake_port *port) {
  if (port->own == NULL) return status_of(rewired(port->loopback, port->data));
  const unsigned char now = __atomic_load_n(port->other, __ATOMIC_ACQUIRE);
  const unsigned char before = port->last_other;
  port->last_other = now;
  const char *tear = getenv("DUPLANE_STANDIN_TEAR");
  unsigned char shown = now;
  if (tear != NULL && *tear == '1' && ((now ^ before) & 0x10) && ((now ^ before) & 0x0F)) {
    shown = (unsigned char)((now & 0x10) | (before & 0x0F));
  }
  const unsigned char status = status_of(rewired(getenv("DUPLANE_STANDIN_WIRING"), shown));
  pace(port, status);
  return status;
}

static int claim(struct fake_port *port) {
  const char *device_fmt = DEV_PREFIX "%d";
  char device[64];
  snprintf(device, sizeof device, device_fmt, port->index);
  if (port->exclusive_asked && other_driver_registered(port->index)) {
    say("claim refused (exclusive) %s", device);
    errno = ENXIO;
    return -1;
  }
  if (port_active_elsewhere(port->index)) {
    say("claim refused (held) %s", device);
    errno = EAGAIN;
    return -1;
  }
  port->claimed = 1;
  say("claim %s %s", port->exclusive_asked ? "exclusive" : "shared", device);
  return 0;
}

int ioctl(int fd, unsigned long request, ...) {
  va_list args;
  va_start(args, request);
  void *arg = va_arg(args, void *);
  va_end(args);
  if (fd < 0 || fd >= MAX_FDS || !ports[fd].in_use) {
    int (*real)(int, unsigned long, ...) = next_symbol("ioctl");
    return real(fd, request, arg);
  }
  struct fake_port *port = &ports[fd];
  const unsigned long code = request;
  unsigned char *byte = arg;
  if (code == (unsigned long)PPEXCL) {
    if (port->claimed) {
      errno = EINVAL;
      return -1;
    }
    port->exclusive_asked = 1;
    return 0;
  }
  if (code == (unsigned long)PPCLAIM) return claim(port);
  if (!port->claimed) {
    errno = EINVAL;
    return -1;
  }
  if (code == (unsigned long)PPRELEASE) {
    port->claimed = 0;
  } else if (code == (unsigned long)PPWDATA) {
    port->data = *byte;
    if (port->own != NULL) __atomic_store_n(port->own, port->data, __ATOMIC_RELEASE);
  } else if (code == (unsigned long)PPRDATA) {
    *byte = port->data;
  } else if (code == (unsigned long)PPRSTATUS) {
    const char *fail = getenv("DUPLANE_STANDIN_FAIL");
    if (fail != NULL && strcmp(fail, "PPRSTATUS") == 0) {
      errno = EIO;
      return -1;
    }
    *byte = read_status(port);
  } else if (code == (unsigned long)PPRCONTROL) {
    *byte = 0x04;
  } else if (code != (unsigned long)PPSETMODE && code != (unsigned long)PPDATADIR &&
             code != (unsigned long)PPWCONTROL) {
    errno = ENOTTY;
    return -1;
  }
  return 0;
}
