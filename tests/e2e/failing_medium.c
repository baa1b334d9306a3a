/* A medium that can go away under a running program: a read-only FUSE view of one folder whose
 * reads fail with EIO while the file CONTROL/gone exists (a stick pulled, a share dropped), and
 * each take the milliseconds written in CONTROL/slow while that file exists (a slow share).
 * Usage: failing_medium FOLDER CONTROL MOUNTPOINT (stays in the foreground until unmounted). */
#define FUSE_USE_VERSION 31
#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <fuse.h>
#include <limits.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

static const char* folder;
static const char* control;

static void Backing(char* path, const char* name) {
    snprintf(path, PATH_MAX, "%s%s", folder, name);
}

static int ControlExists(const char* name) {
    char path[PATH_MAX];
    snprintf(path, sizeof path, "%s/%s", control, name);
    return access(path, F_OK) == 0;
}

static void WaitAsAskedBySlow(void) {
    char path[PATH_MAX];
    snprintf(path, sizeof path, "%s/slow", control);
    FILE* file = fopen(path, "r");
    if (file == NULL)
        return;
    long milliseconds = 0;
    if (fscanf(file, "%ld", &milliseconds) != 1)
        milliseconds = 0;
    fclose(file);
    struct timespec wait = {milliseconds / 1000, (milliseconds % 1000) * 1000000L};
    nanosleep(&wait, NULL);
}

static int GetAttributes(const char* name, struct stat* attributes, struct fuse_file_info* file) {
    (void)file;
    char path[PATH_MAX];
    Backing(path, name);
    return lstat(path, attributes) == 0 ? 0 : -errno;
}

static int ReadFolder(const char* name, void* buffer, fuse_fill_dir_t fill, off_t offset,
                      struct fuse_file_info* file, enum fuse_readdir_flags flags) {
    (void)offset, (void)file, (void)flags;
    char path[PATH_MAX];
    Backing(path, name);
    DIR* entries = opendir(path);
    if (entries == NULL)
        return -errno;
    for (struct dirent* entry; (entry = readdir(entries)) != NULL;)
        fill(buffer, entry->d_name, NULL, 0, 0);
    closedir(entries);
    return 0;
}

static int Open(const char* name, struct fuse_file_info* file) {
    if ((file->flags & O_ACCMODE) != O_RDONLY)
        return -EROFS;
    char path[PATH_MAX];
    Backing(path, name);
    int descriptor = open(path, O_RDONLY);
    if (descriptor < 0)
        return -errno;
    file->fh = (uint64_t)descriptor;
    /* As a disk's or a stick's page cache does, what was read stays cached when the file is opened
     * again: without this, FUSE drops the pages of every mapping of the file at each open. */
    file->keep_cache = 1;
    return 0;
}

static int Read(const char* name, char* buffer, size_t size, off_t offset,
                struct fuse_file_info* file) {
    (void)name;
    if (ControlExists("gone"))
        return -EIO;
    WaitAsAskedBySlow();
    ssize_t read = pread((int)file->fh, buffer, size, offset);
    return read < 0 ? -errno : (int)read;
}

static int Release(const char* name, struct fuse_file_info* file) {
    (void)name;
    close((int)file->fh);
    return 0;
}

int main(int argc, char** argv) {
    if (argc != 4) {
        fprintf(stderr, "usage: failing_medium FOLDER CONTROL MOUNTPOINT\n");
        return 2;
    }
    folder = argv[1];
    control = argv[2];
    static const struct fuse_operations operations = {
        .getattr = GetAttributes,
        .readdir = ReadFolder,
        .open = Open,
        .read = Read,
        .release = Release,
    };
    char* arguments[] = {argv[0], "-f", "-o", "ro,fsname=failing_medium", argv[3], NULL};
    return fuse_main(5, arguments, &operations, NULL);
}
