package zobj;

// A main class without the entry method the launcher calls.
public class Run {
    public static void runWithPath(int path) {}
}
