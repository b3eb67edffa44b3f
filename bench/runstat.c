/*
 * runstat - runs one command and prints what it cost, for bench/compare-tools.
 *
 * fork, exec and wait4 with nothing in between, so the figures hold the
 * command and not a shell: wall time from just before fork to the return of
 * wait4 (CLOCK_MONOTONIC), and the child's own rusage (peak resident set,
 * minor and major page faults, user and system CPU time). The command's
 * standard output goes to /dev/null, its standard error stays.
 *
 * Usage: runstat COMMAND [ARG...]
 * Prints one line: wall_ms maxrss_kib minflt majflt user_ms sys_ms status
 * Exit status: 0 when the command ran (whatever its own status), 1 otherwise.
 */
#define _GNU_SOURCE
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

static double ms_between(const struct timespec *a, const struct timespec *b)
{
    return (double)(b->tv_sec - a->tv_sec) * 1e3 + (double)(b->tv_nsec - a->tv_nsec) / 1e6;
}

static double tv_ms(const struct timeval *t)
{
    return (double)t->tv_sec * 1e3 + (double)t->tv_usec / 1e3;
}

int main(int argc, char **argv)
{
    if (argc < 2) {
        fprintf(stderr, "usage: runstat COMMAND [ARG...]\n");
        return 1;
    }
    /* Opened before the clock starts, so the child only has to dup2 it. */
    int devnull = open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (devnull < 0) {
        perror("runstat: /dev/null");
        return 1;
    }
    struct timespec start, end;
    clock_gettime(CLOCK_MONOTONIC, &start);
    pid_t pid = fork();
    if (pid < 0) {
        perror("runstat: fork");
        return 1;
    }
    if (pid == 0) {
        if (dup2(devnull, STDOUT_FILENO) < 0)
            _exit(127);
        execvp(argv[1], argv + 1);
        perror(argv[1]);
        _exit(127);
    }
    int status = 0;
    struct rusage usage;
    if (wait4(pid, &status, 0, &usage) < 0) {
        perror("runstat: wait4");
        return 1;
    }
    clock_gettime(CLOCK_MONOTONIC, &end);
    int code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    printf("%.3f %ld %ld %ld %.3f %.3f %d\n", ms_between(&start, &end), usage.ru_maxrss, usage.ru_minflt,
           usage.ru_majflt, tv_ms(&usage.ru_utime), tv_ms(&usage.ru_stime), code);
    return 0;
}
