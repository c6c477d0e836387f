// Runs a command as the station's unit runs orbisight-cli under
// MemoryDenyWriteExecute=yes and NoNewPrivileges=yes: a seccomp filter makes
// a mapping that is writable and executable at once, making memory
// executable afterwards and executable shared memory fail with EPERM.
//   deny-write-execute --check     the filter is in force (exit 0)
//   deny-write-execute COMMAND...  runs COMMAND under it
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/shm.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <cstring>

// The low 32 bits of a system call's argument (little-endian layout).
#define ARG(i) offsetof(struct seccomp_data, args[i])
#define DENY (SECCOMP_RET_ERRNO | (EPERM & SECCOMP_RET_DATA))

static sock_filter filter[] = {
    BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(struct seccomp_data, nr)),
    BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_mmap, 0, 4),
    BPF_STMT(BPF_LD | BPF_W | BPF_ABS, ARG(2)),
    BPF_STMT(BPF_ALU | BPF_AND | BPF_K, PROT_WRITE | PROT_EXEC),
    BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, PROT_WRITE | PROT_EXEC, 0, 1),
    BPF_STMT(BPF_RET | BPF_K, DENY),
    BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_mprotect, 1, 0),
    BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_pkey_mprotect, 0, 3),
    BPF_STMT(BPF_LD | BPF_W | BPF_ABS, ARG(2)),
    BPF_JUMP(BPF_JMP | BPF_JSET | BPF_K, PROT_EXEC, 0, 1),
    BPF_STMT(BPF_RET | BPF_K, DENY),
    BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(struct seccomp_data, nr)),
    BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_shmat, 0, 3),
    BPF_STMT(BPF_LD | BPF_W | BPF_ABS, ARG(2)),
    BPF_JUMP(BPF_JMP | BPF_JSET | BPF_K, SHM_EXEC, 0, 1),
    BPF_STMT(BPF_RET | BPF_K, DENY),
    BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
};

int main(int argc, char** argv) {
    if (argc < 2) {
        fprintf(stderr, "usage: deny-write-execute --check | COMMAND [ARGUMENT...]\n");
        return 2;
    }
    sock_fprog program = {sizeof filter / sizeof filter[0], filter};
    if (prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0 ||
        prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) != 0) {
        fprintf(stderr, "deny-write-execute: seccomp: %s\n", strerror(errno));
        return 1;
    }
    if (strcmp(argv[1], "--check") == 0) {
        void* both = mmap(nullptr, 4096, PROT_READ | PROT_WRITE | PROT_EXEC, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        void* data = mmap(nullptr, 4096, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        const bool madeExecutable = data != MAP_FAILED && mprotect(data, 4096, PROT_READ | PROT_EXEC) == 0;
        if (both != MAP_FAILED || data == MAP_FAILED || madeExecutable) {
            fprintf(stderr, "deny-write-execute: the filter lets writable memory become executable\n");
            return 1;
        }
        return 0;
    }
    execvp(argv[1], argv + 1);
    fprintf(stderr, "deny-write-execute: %s: %s\n", argv[1], strerror(errno));
    return 127;
}
