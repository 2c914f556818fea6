package zobj;

import java.io.IOException;
import java.lang.management.ManagementFactory;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Paths;

// The test application: reports what the launcher gave it to run-record.txt in the current
// directory, one "key=value" line each.
public class Run {
    public static void runWithPath(String path) throws IOException {
        // First line of the entry method, on the same clock as the launcher's steady clock:
        // the start-up benchmark reads it.
        System.out.println("entered " + System.nanoTime());
        System.out.flush();
        String record = "path=" + path + "\n"
                + "classpath=" + System.getProperty("java.class.path") + "\n"
                + "userdir=" + System.getProperty("user.dir") + "\n"
                + "maxheap=" + Runtime.getRuntime().maxMemory() + "\n"
                + "arguments=" + String.join(" ", ManagementFactory.getRuntimeMXBean().getInputArguments()) + "\n";
        Files.write(Paths.get("run-record.txt"), record.getBytes(StandardCharsets.UTF_8));
    }

    // For starting the same class with the java command, side by side with the launcher.
    public static void main(String[] args) throws IOException {
        runWithPath("java");
    }
}
