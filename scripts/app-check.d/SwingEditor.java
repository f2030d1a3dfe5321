import java.awt.event.ActionEvent;
import java.awt.event.InputEvent;
import java.awt.event.KeyEvent;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;
import javax.swing.AbstractAction;
import javax.swing.JFrame;
import javax.swing.JScrollPane;
import javax.swing.JTextArea;
import javax.swing.KeyStroke;
import javax.swing.SwingUtilities;

/** A plain Swing text editor: opens the file named, saves it with Ctrl+S exactly as the area holds it. */
public class SwingEditor {
    public static void main(String[] args) throws Exception {
        Path path = Path.of(args[0]);
        String text = Files.readString(path, StandardCharsets.UTF_8);
        SwingUtilities.invokeLater(() -> {
            JFrame frame = new JFrame("SwingEditor " + path.getFileName());
            JTextArea area = new JTextArea(text, 24, 80);
            area.getInputMap().put(KeyStroke.getKeyStroke(KeyEvent.VK_S, InputEvent.CTRL_DOWN_MASK), "save");
            area.getActionMap().put("save", new AbstractAction() {
                @Override
                public void actionPerformed(ActionEvent event) {
                    try {
                        Files.writeString(path, area.getText(), StandardCharsets.UTF_8);
                    } catch (Exception e) {
                        e.printStackTrace();
                    }
                }
            });
            frame.add(new JScrollPane(area));
            frame.setDefaultCloseOperation(JFrame.EXIT_ON_CLOSE);
            frame.pack();
            frame.setVisible(true);
            area.requestFocusInWindow();
        });
    }
}
